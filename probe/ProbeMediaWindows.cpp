// probe/ProbeMediaWindows.cpp - no media program on Windows: every file stays unknown
#include "probe/ProbeMedia.h"

namespace pexol {

std::vector<MediaFacts> ProbeMedia(const std::vector<std::string>& paths,
                                   const std::function<bool()>&) {
  return std::vector<MediaFacts>(paths.size());
}

}  // namespace pexol
