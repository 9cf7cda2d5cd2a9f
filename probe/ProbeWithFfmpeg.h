// probe/ProbeWithFfmpeg.h - a media file's facts read by FFmpeg in this process
#pragma once

#include <string>

#include "probe/MediaFacts.h"

namespace pexol {

/// Opens `path` with FFmpeg and reads what its headers and stream analysis say, decoding no more
/// than that analysis does; `MediaKind::Unreadable` with FFmpeg's reason when it cannot.
MediaFacts ProbeWithFfmpeg(const std::string& path);

/// Stops FFmpeg's own log for the rest of the process: the facts carry its reasons, and the
/// probe's lines share standard error with it.
void SilenceFfmpegLog();

}  // namespace pexol
