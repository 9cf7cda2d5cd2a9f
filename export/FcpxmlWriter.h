// export/FcpxmlWriter.h - the timeline as FCPXML 1.10, which Final Cut Pro (10.6 and later) and
// DaVinci Resolve import (.fcpxml)
#pragma once

#include "export/ExportWritten.h"

namespace pexol {

/// One project named after the timeline, in an event of the same name, at the project's rate
/// on a DV frame. V1 is the spine: clips, gaps and transitions, each transition centred on an
/// edit point half its length past its cut, so that it still starts on the cut, with an audio
/// crossfade where the layout cross-fades the sound; elsewhere a clip's sound keeps to the cut
/// (a split edit: `audioStart`, `audioDuration`). The inserts
/// (lane 1), the titles' images (lane 2) and the titles (lane 3) are clips connected above
/// it, the extra audio (lanes -1 and -2) below it, at their record frames. A clip plays its
/// own sound, levels as volume keyframes in dB; slow clips are silent and carry a time map at
/// 50 %; colours are the Custom solid or the Gradient generator, titles Basic Title.
ExportWritten WriteFcpxml(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
