// probe/PosterFrames.h - poster frames from the cache, the rest decoded by the media program
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "probe/PosterCache.h"

namespace pexol {

/// The poster of each of `requests`, in their order: PNG bytes at most `posterWidth` wide, empty
/// where there is none (a medium FFmpeg cannot read, no media program, a stop asked for by
/// `stop`). Those the cache holds are read from it; the others are decoded by one run of the
/// media program (`MediaProgram() posters`), which keeps them in the cache. No process is
/// started when the cache holds them all.
std::vector<std::string> PosterFrames(const std::vector<PosterRequest>& requests,
                                      const std::function<bool()>& stop);

}  // namespace pexol
