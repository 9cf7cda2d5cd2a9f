// probe/ProbeMedia.h - media files probed by the media program, all in one child process
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "probe/MediaFacts.h"

namespace pexol {

/// The facts of each of `paths`, in their order, read by one run of the media program
/// (`MediaProgram() probe -- FILE...`); no process is started for no paths. Every answer is
/// `MediaKind::Unknown` where there is no media program (and on Windows, which has none), for
/// the files after a stop that `stop` asked for, and for those the program did not answer.
std::vector<MediaFacts> ProbeMedia(const std::vector<std::string>& paths,
                                   const std::function<bool()>& stop);

}  // namespace pexol
