// app/pages/TimelineShapes.h - the timeline view's shapes at pixel positions, for either
// toolkit to paint, and the clip under a point
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/pages/TimelineZoom.h"
#include "picture/ScenePosters.h"
#include "picture/TimelineScene.h"

namespace pexol::pages {

/// The view's measures in its pixels.
struct TimelineMetrics {
  double scale = 1;         ///< the window's DPI over 96
  double labelWidth = 110;  ///< the row names' column, as wide as the window's font needs

  double Ruler() const { return 26 * scale; }
  double Row() const { return 28 * scale; }
  double Gap() const { return 4 * scale; }
  double Padding() const { return 4 * scale; }
  /// The top of row `row`.
  double TopOf(std::size_t row) const {
    return Ruler() + Gap() + static_cast<double>(row) * (Row() + Gap());
  }
  /// The view's height for `rows` rows.
  double Height(std::size_t rows) const { return TopOf(rows); }
};

/// A filled rectangle; `hatch` lays lines rising at 45° over the fill.
struct ShapeBox {
  double x = 0, y = 0, width = 0, height = 0;
  std::uint32_t fill = 0;
  std::optional<std::uint32_t> outline = {};
  double outlineWidth = 1;
  bool dashed = false;
  std::optional<std::uint32_t> hatch = {};
};

struct ShapeLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::uint32_t colour = 0;
  double width = 1;
};

struct ShapeTriangle {
  double x[3] = {}, y[3] = {};
  std::uint32_t fill = 0;
  double opacity = 1;
};

/// A text in the window's font: its left edge, the height its letters are centred on, and the
/// width it may take, cut to with "…" (left out when not even a character and "…" fit).
struct ShapeText {
  double x = 0, middle = 0, room = 0;
  std::string text;
  std::uint32_t colour = 0;
};

/// A clip's poster frame (PNG bytes, which outlive the shapes) drawn `height` high with its
/// shape kept, inside `width`: a narrower room shows its middle.
struct ShapePoster {
  double x = 0, y = 0, width = 0, height = 0;
  std::string_view png;
};

using TimelineShape = std::variant<ShapeBox, ShapeLine, ShapeTriangle, ShapeText, ShapePoster>;

/// What the view shows of `scene` at `zoom`, `width` pixels wide, in the order to paint it: the
/// ruler, the rows and the clips and transitions in view (found by position: a redraw costs what
/// is visible, a box at most for each pixel of a row), the row names, and at `pointer` (pixels
/// from the left) a line and its time. Labels are in the chosen language. With `posters`, a clip
/// that has one shows it at its left, its label after it.
std::vector<TimelineShape> ShapesOf(const TimelineScene& scene, const TimelineZoom& zoom,
                                    const TimelineMetrics& metrics, double width,
                                    std::optional<double> pointer = std::nullopt,
                                    const ScenePosters* posters = nullptr);

/// The names of the scene's rows in the chosen language, for the window to measure.
std::vector<std::string> RowNames(const TimelineScene& scene);

/// A clip of the scene: its row and its place in the row.
struct TimelineHit {
  std::size_t row = 0;
  std::size_t clip = 0;
  bool operator==(const TimelineHit&) const = default;
};

/// The clip under the point `x`, `y` (a clip a pixel or two away when none is right under it,
/// so that the narrowest can be pointed at); nullopt over no clip.
std::optional<TimelineHit> HitAt(const TimelineScene& scene, const TimelineZoom& zoom,
                                 const TimelineMetrics& metrics, double x, double y);

/// The timecode of the frame at `x` (pixels from the view's left), in the scene's timecode;
/// empty left of the rows.
std::string TimeAt(const TimelineScene& scene, const TimelineZoom& zoom,
                   const TimelineMetrics& metrics, double x);

}  // namespace pexol::pages
