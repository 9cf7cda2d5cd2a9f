// app/pages/TimelineShapes.cpp - the clips in view found by position, a box at most per pixel
#include "app/pages/TimelineShapes.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/Translation.h"
#include "edl/Timecode.h"
#include "picture/TimelineMarks.h"

namespace pexol::pages {

namespace {

namespace colours = scene_colours;

constexpr std::uint32_t pointerColour = 0xd04a02;
/// Narrower than this, a box has no outline: the outline would hide its colour.
constexpr double outlinedWidth = 4;
/// Narrower than this, a missing clip is a red box: hatching would not show.
constexpr double markedWidth = 8;

/// Paints what the view shows, clipped to the rows (a box far wider than the view is cut to
/// just past its edges, so that no toolkit gets coordinates it cannot draw).
class Painting {
 public:
  Painting(const TimelineScene& scene, const TimelineZoom& zoom, const TimelineMetrics& metrics,
           double width, const ScenePosters* posters)
      : scene(scene),
        zoom(zoom),
        metrics(metrics),
        left(metrics.labelWidth),
        right(width),
        posters(posters) {}

  std::vector<TimelineShape> shapes;

  void Ruler() {
    const double bottom = metrics.Ruler() - 1;
    shapes.push_back(ShapeLine{left, bottom, right, bottom, colours::ruler, 1});
    const double ppf = zoom.PixelsPerFrame();
    const double spacing = 90 * metrics.scale;
    // From a label whose text reaches into view to the right edge.
    const auto from = static_cast<std::int64_t>(std::floor(FrameAtX(left - spacing)));
    const auto to = static_cast<std::int64_t>(std::ceil(FrameAtX(right)));
    const std::vector<RulerTick> ticks = RulerTicks(from, to, scene.timecode, ppf, spacing);
    double nextLabel = right + spacing;
    std::vector<double> rooms(ticks.size());
    for (std::size_t t = ticks.size(); t-- > 0;) {
      if (ticks[t].label.empty()) continue;
      rooms[t] = nextLabel - XAt(static_cast<double>(ticks[t].frame)) - 6 * metrics.scale;
      nextLabel = XAt(static_cast<double>(ticks[t].frame));
    }
    for (std::size_t t = 0; t < ticks.size(); ++t) {
      const double x = XAt(static_cast<double>(ticks[t].frame));
      const double length = (ticks[t].label.empty() ? 4 : 8) * metrics.scale;
      shapes.push_back(ShapeLine{x, bottom - length, x, bottom, colours::ruler, 1});
      if (!ticks[t].label.empty())
        shapes.push_back(ShapeText{x + 2 * metrics.scale, metrics.Ruler() / 2 - 2 * metrics.scale,
                                   rooms[t], ticks[t].label, colours::rulerText});
    }
  }

  void Row(std::size_t r) {
    const SceneRow& row = scene.rows[r];
    const double top = metrics.TopOf(r);
    shapes.push_back(ShapeBox{left, top, right - left, metrics.Row(), colours::row});
    const double boxTop = top + 2 * metrics.scale;
    const double boxHeight = metrics.Row() - 4 * metrics.scale;
    const auto [first, last] = InView(row.spans);
    for (std::size_t c = first; c < last;) {
      const SceneClip& clip = row.clips[c];
      const double x0 = XAt(static_cast<double>(clip.recordIn));
      const double x1 = XAt(static_cast<double>(std::max(clip.recordIn, clip.recordOut)));
      if (x1 <= left) {  // in view only through a longer clip before it
        ++c;
        continue;
      }
      if (x1 - x0 >= 2) {
        Clip(clip, x0, x1, boxTop, boxHeight, posters ? posters->Of(r, c) : std::string_view());
        ++c;
        continue;
      }
      // A clip narrower than two pixels: one box for it and every clip after it that ends by
      // the end of its last pixel, red when any of them is missing.
      const double end = std::floor(x1) + 1;
      const std::size_t next = std::max(c + 1, row.spans.FirstReaching(FrameOfBoundary(end)));
      const bool missing = row.MissingIn(c, next) > 0;
      const double start = std::max(std::floor(x0), left - 2);
      shapes.push_back(ShapeBox{start, boxTop, end - start, boxHeight,
                                missing ? colours::missingMark : clip.fill});
      c = next;
    }
  }

  void Transitions() {
    const double top = metrics.TopOf(TimelineScene::mainRow);
    const double bottom = top + metrics.Row() - 2 * metrics.scale;
    const auto [first, last] = InView(scene.transitionSpans);
    double drawnTo = -1;  // transitions within a pixel already drawn add nothing
    for (std::size_t t = first; t < last; ++t) {
      const SceneTransition& transition = scene.transitions[t];
      const double x0 = std::max(XAt(static_cast<double>(transition.recordIn)), left - 2);
      const double x1 = std::min(
          std::max(XAt(static_cast<double>(transition.recordIn + transition.length)), x0 + 2),
          right + 2);
      if (x1 <= left || x1 <= drawnTo) continue;
      drawnTo = std::floor(x1) + 1;
      shapes.push_back(ShapeTriangle{{x0, x1, x1},
                                     {bottom, top + 2 * metrics.scale, bottom},
                                     colours::transition,
                                     colours::transitionOpacity});
    }
  }

  void Names() {
    // The names' column over anything cut at the rows' left edge.
    shapes.push_back(ShapeBox{0, 0, left, metrics.Height(scene.rows.size()), colours::background});
    for (std::size_t r = 0; r < scene.rows.size(); ++r)
      shapes.push_back(ShapeText{6 * metrics.scale, metrics.TopOf(r) + metrics.Row() / 2,
                                 left - 10 * metrics.scale, std::string(Tr(scene.rows[r].name)),
                                 colours::ink});
  }

  void Pointer(double x) {
    if (x < left || x >= right) return;
    shapes.push_back(
        ShapeLine{x, 0, x, metrics.Height(scene.rows.size()), pointerColour, metrics.scale});
    shapes.push_back(ShapeText{6 * metrics.scale, metrics.Ruler() / 2 - 2 * metrics.scale,
                               left - 8 * metrics.scale, TimeAt(scene, zoom, metrics, x),
                               pointerColour});
  }

 private:
  double XAt(double frame) const { return left + zoom.XOf(frame); }
  double FrameAtX(double x) const { return zoom.FrameAt(x - left); }
  /// The last frame whose start lies before `x`: a clip ending there ends within the pixel.
  std::int64_t FrameOfBoundary(double x) const {
    return static_cast<std::int64_t>(std::floor(std::min(FrameAtX(x), 1e15)));
  }

  /// The spans that may be in view: from the first that reaches into it to the first that
  /// starts past it.
  std::pair<std::size_t, std::size_t> InView(const SpanIndex& spans) const {
    const auto from = static_cast<std::int64_t>(std::floor(FrameAtX(left)));
    const auto to = static_cast<std::int64_t>(std::ceil(FrameAtX(right)));
    return {spans.FirstReaching(from), spans.FirstStartingFrom(to + 1)};
  }

  void Clip(const SceneClip& clip, double x0, double x1, double top, double height,
            std::string_view poster) {
    const double shownLeft = std::max(x0, left - 2);
    const double shownRight = std::min(x1, right + 2);
    const double width = shownRight - shownLeft;
    const bool outlined = x1 - x0 >= outlinedWidth;
    const bool marked = clip.Missing() && x1 - x0 >= markedWidth;
    ShapeBox box{shownLeft, top, width, height, clip.fill};
    if (outlined) box.outline = colours::outline;
    box.dashed = clip.slow;
    if (clip.Missing()) {
      box.fill = marked ? colours::missing : colours::missingMark;
      if (marked) {
        box.hatch = colours::missingHatch;
        box.outline = colours::missingMark;
        box.outlineWidth = 2 * metrics.scale;
        box.dashed = true;
      }
    }
    shapes.push_back(box);
    if (marked) {  // crossed out, from corner to corner of the whole clip, cut to the view
      const auto yAt = [&](double x, bool falling) {
        const double share = (x - x0) / (x1 - x0);
        return falling ? top + share * height : top + height - share * height;
      };
      for (const bool falling : {true, false})
        shapes.push_back(ShapeLine{shownLeft, yAt(shownLeft, falling), shownRight,
                                   yAt(shownRight, falling), colours::missingMark,
                                   1.5 * metrics.scale});
    }
    // The poster at the clip's left, inside its outline; the name after it.
    double posterRight = x0;
    const PosterSize size = PngSize(poster);
    if (size.width > 0 && !clip.Missing() && x1 - x0 >= outlinedWidth) {
      const double inner = height - 2;
      const double posterWidth = std::min(inner * size.width / size.height, x1 - x0 - 2);
      posterRight = x0 + 1 + posterWidth;
      if (posterRight > left && x0 < right)
        shapes.push_back(ShapePoster{x0 + 1, top + 1, posterWidth, inner, poster});
    }
    // The name from the view's left edge on, so that a long clip scrolled in still says it.
    const double padding = metrics.Padding();
    const double textLeft = std::max(posterRight, left) + padding;
    const double room = std::min(x1, right) - padding - textLeft;
    if (room > padding)
      shapes.push_back(ShapeText{textLeft, top + height / 2, room, BoxLabel(clip, true),
                                 clip.Missing() ? colours::missingText : colours::ink});
  }

  const TimelineScene& scene;
  const TimelineZoom& zoom;
  const TimelineMetrics& metrics;
  double left;
  double right;
  const ScenePosters* posters;
};

}  // namespace

std::vector<TimelineShape> ShapesOf(const TimelineScene& scene, const TimelineZoom& zoom,
                                    const TimelineMetrics& metrics, double width,
                                    std::optional<double> pointer, const ScenePosters* posters) {
  Painting painting(scene, zoom, metrics, width, posters);
  painting.shapes.push_back(
      ShapeBox{0, 0, width, metrics.Height(scene.rows.size()), colours::background});
  painting.Ruler();
  for (std::size_t r = 0; r < scene.rows.size(); ++r) painting.Row(r);
  painting.Transitions();
  painting.Names();
  if (pointer) painting.Pointer(*pointer);
  return std::move(painting.shapes);
}

std::vector<std::string> RowNames(const TimelineScene& scene) {
  std::vector<std::string> names;
  for (const SceneRow& row : scene.rows) names.emplace_back(Tr(row.name));
  return names;
}

std::optional<TimelineHit> HitAt(const TimelineScene& scene, const TimelineZoom& zoom,
                                 const TimelineMetrics& metrics, double x, double y) {
  if (x < metrics.labelWidth || y < metrics.TopOf(0)) return std::nullopt;
  const auto r = static_cast<std::size_t>((y - metrics.TopOf(0)) / (metrics.Row() + metrics.Gap()));
  if (r >= scene.rows.size() || y > metrics.TopOf(r) + metrics.Row()) return std::nullopt;
  const SceneRow& row = scene.rows[r];
  const double frame = zoom.FrameAt(x - metrics.labelWidth);
  const double near = 2 * metrics.scale / zoom.PixelsPerFrame();
  const std::size_t first =
      row.spans.FirstReaching(static_cast<std::int64_t>(std::floor(frame - near)));
  const std::size_t last =
      row.spans.FirstStartingFrom(static_cast<std::int64_t>(std::floor(frame + near)) + 1);
  // The clip right under the point, the last drawn of them; else the nearest.
  std::optional<TimelineHit> nearest;
  double nearestDistance = near;
  for (std::size_t c = first; c < last; ++c) {
    const SceneClip& clip = row.clips[c];
    const auto in = static_cast<double>(clip.recordIn);
    const auto out = static_cast<double>(std::max(clip.recordIn, clip.recordOut));
    const double distance = frame < in ? in - frame : frame >= out ? frame - out : -1;
    if (distance <= nearestDistance) {
      nearestDistance = distance;
      nearest = TimelineHit{r, c};
    }
  }
  return nearest;
}

std::string TimeAt(const TimelineScene& scene, const TimelineZoom& zoom,
                   const TimelineMetrics& metrics, double x) {
  if (x < metrics.labelWidth) return {};
  const double frame = std::floor(zoom.FrameAt(x - metrics.labelWidth));
  return FormatTimecode(scene.timecode,
                        static_cast<std::int32_t>(std::clamp(frame, 0.0, double{INT32_MAX})));
}

}  // namespace pexol::pages
