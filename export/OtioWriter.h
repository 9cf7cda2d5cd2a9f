// export/OtioWriter.h - the timeline as OpenTimelineIO JSON (.otio)
#pragma once

#include "export/ExportWritten.h"

namespace pexol {

/// The stack as an OpenTimelineIO document: V1 always, then every other track it holds that
/// has clips (OpenTimelineIO plays no sound from a video track, so the main clips' sound and
/// the inserts' sound are tracks of their own). Title texts and audio levels go into clip metadata
/// under "pexol". A transition on a sound track is the cross-fade of its clips' sound
/// (`SMPTE_Dissolve`, its metadata "linear cross-fade").
ExportWritten WriteOtio(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
