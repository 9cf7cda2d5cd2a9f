// picture/ScenePosters.h - the poster frames of a scene's clips, for the picture and the windows
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/TimelineScene.h"
#include "probe/PosterCache.h"

namespace pexol {

/// A PNG poster's size in pixels, read from its header; 0 by 0 when it is no PNG.
struct PosterSize {
  int width = 0;
  int height = 0;
};
PosterSize PngSize(std::string_view png);

/// "data:image/png;base64,...": the poster inside the SVG, which stays one file.
std::string PngDataUrl(std::string_view png);

/// PNG bytes for each clip of each row of a scene, empty where the clip shows none.
struct ScenePosters {
  std::vector<std::vector<std::string>> rows;

  /// The poster of clip `clip` of row `row`; empty when there is none.
  std::string_view Of(std::size_t row, std::size_t clip) const {
    return row < rows.size() && clip < rows[row].size() ? std::string_view(rows[row][clip])
                                                        : std::string_view();
  }
};

/// What each picture clip of `scene` asks for: a movie's first frame at or after its in point, a
/// still's picture, for clips whose medium was found; the places are [row, clip] pairs.
struct ScenePosterRequests {
  std::vector<PosterRequest> requests;
  std::vector<std::pair<std::size_t, std::size_t>> places;
};
ScenePosterRequests PosterRequestsOf(const TimelineScene& scene);

/// The posters of `scene`'s clips, from the cache or the media program (`PosterFrames`).
ScenePosters PostersOf(const TimelineScene& scene, const std::function<bool()>& stop);

}  // namespace pexol
