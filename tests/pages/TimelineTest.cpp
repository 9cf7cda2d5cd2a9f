// tests/pages/TimelineTest.cpp - the timeline view both windows show, without a toolkit: what a
// redraw paints of the large project at every zoom, the ruler, the zoom rules, and what the
// pointer finds
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "app/pages/TimelineHover.h"
#include "app/pages/TimelineShapes.h"
#include "app/pages/TimelineState.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "picture/TimelineScene.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/OldMedia.h"
#endif
#include "tools/builder/ProjectBuilder.h"

namespace pexol::pages {
namespace {

Timeline TimelineOf(const std::string& bytes) {
  NullObserver quiet;
  RunProgress progress(quiet);
  return BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
}

/// The large project's scene, `scale` times over; a name of odd length is not found.
TimelineScene LargeScene(std::size_t scale, TimecodeMode mode = TimecodeMode::NtscDrop) {
  return SceneOf(TimelineOf(build::BuildProject(build::LargeProject(scale))), mode,
                 [](std::string_view stored) {
                   MediaResolution resolution;
                   resolution.status =
                       stored.size() % 2 == 0 ? MediaStatus::Found : MediaStatus::Missing;
                   resolution.path = "/media/" + std::string(stored);
                   return resolution;
                 });
}

constexpr double viewWidth = 1000;

/// The clip boxes a redraw paints in row `row`, left to right.
std::vector<ShapeBox> ClipBoxes(const std::vector<TimelineShape>& shapes,
                                const TimelineMetrics& metrics, std::size_t row) {
  std::vector<ShapeBox> boxes;
  for (const TimelineShape& shape : shapes)
    if (const auto* box = std::get_if<ShapeBox>(&shape);
        box != nullptr && box->y == metrics.TopOf(row) + 2 && box->height == metrics.Row() - 4)
      boxes.push_back(*box);
  return boxes;
}

class LargeTimeline : public testing::Test {
 protected:
  void SetUp() override {
    zoom.SetView(viewWidth - metrics.labelWidth, 1);
    zoom.SetEnd(scene.end);
  }
  double XOf(std::int64_t frame) const {
    return metrics.labelWidth + zoom.XOf(static_cast<double>(frame));
  }

  static inline const TimelineScene scene = LargeScene(1);
  TimelineMetrics metrics;
  TimelineZoom zoom;
};

// Fitted, the whole 2 h 49 min is in the view's width, a box at most for each pixel of a row,
// yet no clip left out (each lies in a box, thousands of them a few to a pixel) and the missing
// ones among them still red; at 1:1, near the start where every row is busy and in the middle,
// every clip in view is a box where its frames are (the clips found by position are those a
// walk over all of them finds), as wide as its frames: a clip of 2 s is 60 pixels wide, room
// for its name's first characters.
TEST_F(LargeTimeline, ARedrawPaintsWhatIsInViewAtEveryZoom) {
  ASSERT_EQ(scene.end, 304440);     // 2 h 49 min at 29.97 frames a second
  ASSERT_EQ(scene.Clips(), 2356u);  // the main clips' sound among them
  EXPECT_TRUE(zoom.Fitted());
  EXPECT_NEAR(XOf(scene.end), viewWidth - TimelineZoom::endRoom, 0.5);
  std::vector<TimelineShape> shapes = ShapesOf(scene, zoom, metrics, viewWidth);
  for (std::size_t r = 0; r < scene.rows.size(); ++r) {
    const std::vector<ShapeBox> boxes = ClipBoxes(shapes, metrics, r);
    EXPECT_LE(boxes.size(), viewWidth - metrics.labelWidth) << r;
    for (const SceneClip& clip : scene.rows[r].clips) {
      const double x0 = XOf(clip.recordIn);
      const double x1 = XOf(clip.recordOut);
      const bool drawn = std::any_of(boxes.begin(), boxes.end(), [&](const ShapeBox& box) {
        return box.x <= x0 + 0.01 && box.x + box.width >= x1 - 0.01;
      });
      ASSERT_TRUE(drawn) << scene.rows[r].name << " " << clip.recordIn;
    }
    const bool red = std::any_of(boxes.begin(), boxes.end(), [](const ShapeBox& box) {
      return box.fill == scene_colours::missingMark;
    });
    EXPECT_EQ(red, scene.rows[r].MissingIn(0, scene.rows[r].clips.size()) > 0) << r;
  }

  zoom.ZoomTo(1, 0);
  for (const std::int64_t from : {std::int64_t{3000}, scene.end / 2}) {
    zoom.ScrollTo(static_cast<double>(from));
    EXPECT_FALSE(zoom.Fitted());
    shapes = ShapesOf(scene, zoom, metrics, viewWidth);
    const double first = zoom.Left();
    const double last = zoom.FrameAt(viewWidth - metrics.labelWidth);
    std::size_t clipsInView = 0;
    for (std::size_t r = 0; r < scene.rows.size(); ++r) {
      const std::vector<ShapeBox> boxes = ClipBoxes(shapes, metrics, r);
      std::size_t expected = 0;
      for (const SceneClip& clip : scene.rows[r].clips) {
        if (!(clip.recordOut > first && clip.recordIn < last)) continue;
        ++expected;
        // Its box: where its frames are, cut to the view.
        const double left = std::max(XOf(clip.recordIn), metrics.labelWidth - 2);
        const double right = std::min(XOf(clip.recordOut), viewWidth + 2);
        const auto box = std::find_if(boxes.begin(), boxes.end(), [&](const ShapeBox& b) {
          return std::abs(b.x - left) < 0.01 && std::abs(b.x + b.width - right) < 0.01;
        });
        ASSERT_NE(box, boxes.end()) << scene.rows[r].name << " " << clip.recordIn;
        if (clip.Length() >= 60 && XOf(clip.recordIn) >= metrics.labelWidth &&
            XOf(clip.recordOut) <= viewWidth) {
          EXPECT_GE(box->width, 60);
        }
        EXPECT_EQ(box->fill, clip.Missing() ? scene_colours::missing : clip.fill);
        EXPECT_EQ(box->hatch.has_value(), clip.Missing());
      }
      EXPECT_EQ(boxes.size(), expected) << scene.rows[r].name;
      clipsInView += expected;
    }
    EXPECT_GE(clipsInView, from == 3000 ? 30u : 5u);
    // Each clip wide enough says its name from the view's left edge on.
    std::size_t names = 0;
    for (const TimelineShape& shape : shapes)
      if (const auto* text = std::get_if<ShapeText>(&shape);
          text != nullptr && text->x >= metrics.labelWidth && text->middle > metrics.Ruler())
        names += text->x + text->room <= viewWidth ? 1 : 0;
    EXPECT_GE(names, clipsInView / 2);
  }
}

// What a redraw paints grows with the view, not with the project: eight times the clips, at
// 1:1 in the middle and fitted, paint about the same.
TEST_F(LargeTimeline, EightTimesTheProjectPaintsNoMore) {
  const TimelineScene larger = LargeScene(8);
  ASSERT_GT(larger.Clips(), 7 * scene.Clips());
  for (const bool fitted : {true, false}) {
    std::size_t painted[2] = {};
    for (int which = 0; which < 2; ++which) {
      const TimelineScene& shown = which == 0 ? scene : larger;
      TimelineZoom view;
      view.SetView(viewWidth - metrics.labelWidth, 1);
      view.SetEnd(shown.end);
      if (!fitted) {
        view.ZoomTo(1, 0);
        view.ScrollTo(static_cast<double>(shown.end) / 2);
      }
      painted[which] = ShapesOf(shown, view, metrics, viewWidth).size();
    }
    // Fitted, a box at most for each pixel of each row, and the ruler.
    EXPECT_LT(painted[1], 6 * (viewWidth + 200)) << fitted;
    if (!fitted) {
      EXPECT_LT(painted[1], painted[0] * 3 / 2 + 50);
    }
  }
}

// The ruler labels round timecodes of the project's own counting, where their frames are and
// never closer than 90 pixels, from the view's left to its right, at any zoom.
TEST_F(LargeTimeline, TheRulerLabelsRoundTimecodesInView) {
  const auto labels = [&](const TimelineScene& shown, const TimelineZoom& view) {
    std::vector<std::pair<double, std::string>> found;
    for (const TimelineShape& shape : ShapesOf(shown, view, metrics, viewWidth))
      if (const auto* text = std::get_if<ShapeText>(&shape);
          text != nullptr && text->middle < metrics.Ruler() && text->x > metrics.labelWidth - 90)
        found.emplace_back(text->x - 2, text->text);
    return found;
  };
  // 1:1 at ten minutes: five seconds apart, the minute's drop-frame label at ;02.
  zoom.ZoomTo(1, 0);
  zoom.ScrollTo(17900);
  auto shown = labels(scene, zoom);
  ASSERT_GE(shown.size(), 5u);
  bool minute = false;
  for (std::size_t l = 0; l < shown.size(); ++l) {
    const double frame = zoom.FrameAt(shown[l].first - metrics.labelWidth);
    EXPECT_EQ(shown[l].second, FormatTimecode(TimecodeMode::NtscDrop,
                                              static_cast<std::int32_t>(std::lround(frame))));
    if (l > 0) {
      EXPECT_NEAR(shown[l].first - shown[l - 1].first, 150, 1) << shown[l].second;
    }
    EXPECT_LE(shown[l].first, viewWidth);
    minute = minute || shown[l].second == "00:10:00;00";
  }
  EXPECT_TRUE(minute);  // frame 17982: the tenth minute keeps its ;00
  // Fitted: an hour apart or so, as many as the width holds.
  zoom.Fit();
  shown = labels(scene, zoom);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_LE(shown.size(), static_cast<std::size_t>(viewWidth / 90) + 1);
  for (std::size_t l = 1; l < shown.size(); ++l) EXPECT_GE(shown[l].first - shown[l - 1].first, 90);
  // PAL counts 25 a second.
  const TimelineScene pal = LargeScene(1, TimecodeMode::Pal);
  TimelineZoom palView;
  palView.SetView(viewWidth - metrics.labelWidth, 1);
  palView.SetEnd(pal.end);
  palView.ZoomTo(1, 0);
  palView.ScrollTo(15000);
  EXPECT_EQ(labels(pal, palView).front().second, "00:10:00:00");
}

// Zooming keeps the frame under the pointer in place, within a fitted view and a frame 32
// pixels wide; zoomed out to the whole timeline the view follows its width again; the scroll
// bar's integers hold any length and its end is the timeline's.
TEST(TimelineZoomTest, ZoomKeepsThePointersFrameAndHoldsToTheTimeline) {
  TimelineZoom zoom;
  zoom.SetView(800, 2);  // 200 % DPI
  zoom.SetEnd(90000);
  const double fit = zoom.FitZoom();
  EXPECT_NEAR(fit, (400 - TimelineZoom::endRoom) / 90000, 1e-12);
  const double under = zoom.FrameAt(300);
  zoom.ZoomBy(3, 300);
  EXPECT_NEAR(zoom.Zoom(), fit * std::pow(TimelineZoom::step, 3), 1e-12);
  EXPECT_NEAR(zoom.FrameAt(300), under, 1e-6);
  EXPECT_FALSE(zoom.Fitted());
  zoom.ZoomBy(100, 300);
  EXPECT_EQ(zoom.Zoom(), TimelineZoom::closest);
  EXPECT_EQ(zoom.PixelsPerFrame(), 64);
  zoom.ZoomBy(-100, 300);
  EXPECT_TRUE(zoom.Fitted());
  EXPECT_EQ(zoom.Left(), 0);
  zoom.SetView(1600, 2);  // a wider window refits
  EXPECT_NEAR(zoom.XOf(90000), 1600 - 2 * TimelineZoom::endRoom, 1e-6);

  // Scrolled as far as it goes, the end stands at the view's right, its room after it.
  zoom.ZoomTo(1, 0);
  zoom.ScrollBy(1e12);
  EXPECT_NEAR(zoom.XOf(90000), 1600 - 2 * TimelineZoom::endRoom, 1e-6);
  zoom.ScrollBy(-1e12);
  EXPECT_EQ(zoom.Left(), 0);

  // A damaged project's two billion frames at the closest zoom: 2^37 pixels, in bar units.
  zoom.SetEnd(INT32_MAX);
  zoom.ZoomTo(TimelineZoom::closest, 0);
  TimelineZoom::Bar bar = zoom.ScrollBar();
  EXPECT_GT(bar.maximum, 1 << 29);
  EXPECT_LE(bar.maximum, 1 << 30);
  EXPECT_GE(bar.page, 1);
  zoom.SetScrollBar(bar.maximum / 2);
  EXPECT_NEAR(zoom.Left() / INT32_MAX, 0.5, 1e-3);
  zoom.SetScrollBar(bar.maximum);
  EXPECT_NEAR(zoom.FrameAt(1600 - 2 * TimelineZoom::endRoom), INT32_MAX, 1e-3);
  bar = zoom.ScrollBar();
  EXPECT_EQ(bar.value, bar.maximum);
  // An empty timeline: 1:1, nothing to scroll.
  zoom.SetEnd(0);
  EXPECT_EQ(zoom.Zoom(), 1);
  EXPECT_EQ(zoom.ScrollBar().maximum, 0);
}

// A project of a found clip, a clip whose medium is missing from a Windows folder, a title and
// a colour, shown as a window shows it: what the pointer finds says what each is, and a click
// on the missing one gives its folder for the media folders. In Japanese, all it says is.
TEST(TimelineStateTest, ThePointerFindsEachClipAndAMissingOneLeadsToItsFolder) {
  const test::TempFolder folder;
  std::filesystem::create_directories(folder.Path("day"));
#ifdef _WIN32  // no media program reads it there
  folder.Write("day/here.avi", "x");
#else
  ASSERT_TRUE(test::MakeDvAvi(folder.Path("day/here.avi"), 30));
#endif
  const std::string undokai = "\x89\x5e\x93\xae\x89\xef";  // 運動会 in Shift-JIS
  build::Project shape;
  shape.main = {{"day\\here.avi", 0, 29, 0, "", 100, 100, {}},
                {"C:\\Video\\" + undokai + "\\gone.avi", 10, 69, 0, "", 100, 100, {}},
                {build::ColorClipName(0, 1, 0, "D62728", "", "", ""), 0, 29, 0, "", 0, 0, {}}};
  build::Title title;
  title.begin = 15;
  build::TitleElement text;
  text.text = "Sports day";
  text.fontName = "Arial";
  title.elements = {text};
  shape.titles = {title};
  folder.Write("p.mpj", build::BuildProject(shape));

  int changes = 0;
  TimelineState state([] {}, [&changes] { ++changes; });
  PictureRequest request;
  request.source = folder.Path("p.mpj");
  request.timecode = TimecodeMode::Pal;
  state.Show(request);
  state.Settle();
  ASSERT_NE(state.Scene(), nullptr);
  EXPECT_GE(changes, 1);
  state.SetView(800, 1, 110);
  const TimelineMetrics& metrics = state.Metrics();
  const auto pointAt = [&](std::size_t row, std::int64_t frame) {
    const double x = metrics.labelWidth + state.Zoom().XOf(static_cast<double>(frame) + 0.5);
    const double y = metrics.TopOf(row) + metrics.Row() / 2;
    return std::pair(x, y);
  };
  const std::size_t main = TimelineScene::mainRow;

  auto [x, y] = pointAt(main, 10);
  EXPECT_TRUE(state.PointerAt(x, y));
  std::string hover = state.HoverText();
  EXPECT_NE(hover.find("movie on the main row"), std::string::npos) << hover;
  EXPECT_NE(hover.find("record: 00:00:00:00 to 00:00:01:05 (30 frames)"), std::string::npos)
      << hover;
  EXPECT_NE(hover.find("found: "), std::string::npos) << hover;
  EXPECT_NE(hover.find("here.avi\n"), std::string::npos) << hover;
  EXPECT_FALSE(state.FolderToFind(x, y));
#ifdef PEXOL_RENDER_PROGRAM
  // Read by the media program, one child process for the project's found media.
  EXPECT_NE(hover.find("file: AVI"), std::string::npos) << hover;
  EXPECT_NE(hover.find("opens in: "), std::string::npos) << hover;
#endif

  std::tie(x, y) = pointAt(main, 40);
  EXPECT_TRUE(state.PointerAt(x, y));
  hover = state.HoverText();
  const std::string folderName = "C:\\Video\\\xe9\x81\x8b\xe5\x8b\x95\xe4\xbc\x9a";  // 運動会
  EXPECT_EQ(hover.find(folderName + "\\gone.avi\n"), 0u) << hover;
  EXPECT_NE(hover.find("source: 00:00:00:10 to 00:00:02:20"), std::string::npos) << hover;
  EXPECT_NE(hover.find("Not found. Click the clip to choose the media folders."), std::string::npos)
      << hover;
  EXPECT_EQ(state.FolderToFind(x, y), folderName);
  // The same shapes, and the found clip's poster where the media program made one.
  const std::vector<TimelineShape> shapes = state.Shapes();
  const auto posters = std::count_if(shapes.begin(), shapes.end(), [](const TimelineShape& shape) {
    return std::holds_alternative<ShapePoster>(shape);
  });
  EXPECT_EQ(shapes.size() - static_cast<std::size_t>(posters),
            ShapesOf(*state.Scene(), state.Zoom(), metrics, 800, x).size());

  std::tie(x, y) = pointAt(main, 100);
  state.PointerAt(x, y);
  EXPECT_EQ(state.HoverText().substr(0, 15), "colour #d62728\n");
  std::tie(x, y) = pointAt(0, 20);
  state.PointerAt(x, y);
  EXPECT_EQ(state.HoverText().substr(0, 30), "Sports day\ntitle on the titles");
  // The time under the pointer, in the project's timecode.
  EXPECT_EQ(TimeAt(*state.Scene(), state.Zoom(), metrics, x), "00:00:00:20");
  EXPECT_TRUE(state.PointerLeft());
  EXPECT_EQ(state.HoverText(), "");

  auto japanese = FindCatalogue("ja", PEXOL_BUILD_DIR);
  ASSERT_TRUE(japanese);
  UseCatalogue(std::move(japanese));
  std::tie(x, y) = pointAt(main, 40);
  state.PointerAt(x, y);
  hover = state.HoverText();
  UseCatalogue(std::nullopt);
  for (const char* english : {"movie", "main", "record", "source", "Not found", "Click"})
    EXPECT_EQ(hover.find(english), std::string::npos) << english << " in " << hover;
}

}  // namespace
}  // namespace pexol::pages
