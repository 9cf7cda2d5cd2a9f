// bench/TimelineBench.cpp - one redraw of the window's timeline: the page layer's shapes of what
// is in view, painted by Qt's raster engine as the window paints them, fitted, at 1:1 at the
// start and in the middle and scrolled on from there, for the demo, the large project and eight
// times it, the same width in view
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <map>
#include <memory>

#include "app/TimelinePainter.h"
#include "app/pages/TimelineShapes.h"
#include "core/RunObserver.h"
#include "model/Project.h"
#include "picture/TimelineScene.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

constexpr int viewWidth = 1280;

/// Qt's fonts need an application; offscreen, as the window's tests run.
void NeedApplication() {
  static std::unique_ptr<QGuiApplication> application = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "pexol_bench";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
  }();
}

/// The large project `scale` times over (0: the demo), every other medium found.
const TimelineScene& Scene(std::size_t scale) {
  static std::map<std::size_t, TimelineScene> made;
  auto at = made.find(scale);
  if (at != made.end()) return at->second;
  const std::string bytes =
      build::BuildProject(scale == 0 ? build::DemoProject() : build::LargeProject(scale));
  NullObserver quiet;
  RunProgress progress(quiet);
  const Timeline timeline = BuildTimeline(ReadProject(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, {}, progress));
  return made
      .emplace(scale, SceneOf(timeline, TimecodeMode::NtscDrop,
                              [](std::string_view stored) {
                                MediaResolution resolution;
                                resolution.status = stored.size() % 2 == 0 ? MediaStatus::Found
                                                                           : MediaStatus::Missing;
                                resolution.path = std::string(stored);
                                return resolution;
                              }))
      .first->second;
}

enum class View { Fitted, OneToOneStart, OneToOne, Scrolled };

void BM_TimelineRedraw(benchmark::State& state, View view) {
  NeedApplication();
  const auto scale = static_cast<std::size_t>(state.range(0));
  const TimelineScene& scene = Scene(scale);
  pages::TimelineMetrics metrics;
  pages::TimelineZoom zoom;
  zoom.SetView(viewWidth - metrics.labelWidth, 1);
  zoom.SetEnd(scene.end);
  if (view != View::Fitted) {
    zoom.ZoomTo(1, 0);
    zoom.ScrollTo(view == View::OneToOneStart ? 0 : static_cast<double>(scene.end) / 2);
  }
  QImage canvas(viewWidth, static_cast<int>(metrics.Height(scene.rows.size())),
                QImage::Format_ARGB32_Premultiplied);
  const QFont font;
  std::size_t shapes = 0;
  double step = 48;
  for (auto _ : state) {
    // A scroll: the wheel's notch one way, then back, each a redraw.
    if (view == View::Scrolled) {
      zoom.ScrollBy(step);
      step = -step;
    }
    const std::vector<pages::TimelineShape> drawn =
        pages::ShapesOf(scene, zoom, metrics, viewWidth, viewWidth / 2.0);
    QPainter painter(&canvas);
    PaintTimeline(painter, drawn, font);
    shapes = drawn.size();
  }
  state.counters["clips"] = static_cast<double>(scene.Clips());
  state.counters["shapes"] = static_cast<double>(shapes);
}

// The demo (1605 frames), the large project (304 440) and eight times it: a redraw costs what
// is in view, not what the project holds.
BENCHMARK_CAPTURE(BM_TimelineRedraw, fitted, View::Fitted)
    ->Arg(0)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TimelineRedraw, one_to_one_start, View::OneToOneStart)
    ->Arg(0)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TimelineRedraw, one_to_one_middle, View::OneToOne)
    ->Arg(0)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TimelineRedraw, scrolled, View::Scrolled)
    ->Arg(0)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pexol
