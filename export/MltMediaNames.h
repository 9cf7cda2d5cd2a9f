// export/MltMediaNames.h - how MLT opens images whose names its loaders would read as patterns
#pragma once

#include <string>
#include <string_view>

namespace pexol {

/// True when MLT's image loaders (qimage, pixbuf) cannot open the image at `path`: it holds a
/// '%', which they take for the printf pattern of an image sequence, and hang, crash or show
/// other files. A frame-number pattern alone ("%d", "%03d", every other '%' doubled) they
/// format into names that differ from it, and then open the file itself.
bool ImageLoadersMisread(std::string_view path);

/// The resource for MLT's avformat producer that opens the image file at `path` alone: `path`,
/// with FFmpeg's globbing turned off where a '%' comes before one of "*?[]{}".
std::string FfmpegImageResource(std::string_view path);

/// The frame rate (avformat's "force_fps") that has FFmpeg's one frame of an image last: MLT
/// asks for frame 0 of it for the first 8 minutes of the clip, however far in it starts.
inline constexpr const char* ffmpegImageRate = "0.001";

}  // namespace pexol
