// export/Fcp7Writer.h - the timeline as Final Cut Pro 7 XML (xmeml), which Premiere Pro,
// DaVinci Resolve and Final Cut Pro 7 import (.xml)
#pragma once

#include <string>

#include "export/ExportWritten.h"

namespace pexol {

/// One sequence named after the project at its rate and frame size: video tracks V1 (main), V2
/// (insert) and V3 (titles; where titles show images, V3 the images as stills and V4 the
/// titles), audio tracks A1 (the main clips' sound), A2 and A3 (the extra audio) and A4 (the
/// inserts' sound), each written up to the last that holds clips (V1 always): the sequence
/// numbers its tracks. Every media file is a `file` defined at its first use
/// and referred to by id after; dissolves and wipes are transition items starting on their cut
/// (on A1 a Cross Fade (0dB) where the layout cross-fades the sound), slow clips carry the Time
/// Remap effect at 50 %, levels the Audio Levels filter, colours the Color generator and titles the
/// Text generator.
ExportWritten WriteFcp7(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
