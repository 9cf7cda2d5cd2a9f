// probe/PosterFramesWindows.cpp - no media program on Windows: what the cache holds, if anything
#include "probe/PosterFrames.h"

namespace pexol {

std::vector<std::string> PosterFrames(const std::vector<PosterRequest>& requests,
                                      const std::function<bool()>&) {
  std::vector<std::string> posters(requests.size());
  for (std::size_t r = 0; r < requests.size(); ++r)
    if (std::optional<std::string> cached = CachedPoster(PosterCacheFile(requests[r])))
      posters[r] = std::move(*cached);
  return posters;
}

}  // namespace pexol
