// export/Cmx3600Writer.h - the timeline as CMX 3600 edit decision lists, one per track
#pragma once

#include "export/ExportWritten.h"

namespace pexol {

/// One EDL per track that holds clips, suffixed "" (main), "-insert", "-exaudio1" and
/// "-exaudio2"; an EDL names media by reel and file, so titles (which have none) and the main
/// clips' sound (an event's "B" channel plays it) have no list of their own. A transition's two
/// lines are "B" where the sound cross-fades under it, "V" where it is the picture's alone, the
/// incoming clip's sound then an "A" event of its own from the cut. Source and record timecodes
/// count from 00:00:00:00; outs are exclusive.
ExportWritten WriteCmx3600(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
