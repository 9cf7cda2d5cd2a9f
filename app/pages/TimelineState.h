// app/pages/TimelineState.h - the timeline view without a toolkit: its scene, zoom, scroll,
// pointer and what the pointer is over
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/pages/MediumFacts.h"
#include "app/pages/PageState.h"
#include "app/pages/PictureDrawing.h"
#include "app/pages/PosterReading.h"
#include "app/pages/TimelineShapes.h"
#include "app/pages/TimelineZoom.h"

namespace pexol::pages {

/// What a key does to the view; each window maps its own keys to these (+ and -, 0 for the
/// whole timeline, 1 for 1:1, the arrows, Page Up and Down, Home and End).
enum class TimelineKey {
  ZoomIn,
  ZoomOut,
  Fit,
  OneToOne,
  Left,
  Right,
  PageLeft,
  PageRight,
  Start,
  End
};

/// The timeline under the pages as both windows show it: the scene of the page in front (made
/// off the window's thread), the facts of its found media (read off it too), the zoom and
/// scroll, and the pointer. A window paints `Shapes` and hands its input over; a call that
/// changes what is shown returns true, and the window paints again.
class TimelineState {
 public:
  /// `wake` posts a call of `Deliver` to the window's thread and does nothing else (it is
  /// called from other threads); `changed` is called on the window's thread when a scene was
  /// shown or hidden, or its media's facts came.
  TimelineState(std::function<void()> wake, std::function<void()> changed);

  /// Makes the scene of `request` unless it is the one shown; an empty source hides it.
  void Show(const PictureRequest& request);
  /// The wake's call.
  void Deliver();
  /// Waits for the scene being made; `Deliver` still shows it.
  void Wait() { drawing.Wait(); }
  /// Waits for the scene and the facts being read, and shows them.
  void Settle();
  /// True while a scene is being made.
  bool Drawing() const { return drawing.Drawing(); }
  /// True while the found media's facts are being read.
  bool ReadingFacts() const { return facts.Reading(); }
  /// True while the clips' poster frames are being fetched.
  bool ReadingPosters() const { return posterReading.Reading(); }

  const TimelineScene* Scene() const { return scene ? &*scene : nullptr; }
  const TimelineZoom& Zoom() const { return zoom; }
  const TimelineMetrics& Metrics() const { return metrics; }
  /// The view's height in pixels: the ruler and the rows.
  double Height() const;

  /// The view is `width` pixels wide at `scale` (the DPI over 96), its row names `labelWidth`.
  void SetView(double width, double scale, double labelWidth);
  /// What to paint, in order.
  std::vector<TimelineShape> Shapes() const;

  /// The wheel turned by `right` and `away` notches (a notch is 120 of the toolkits' units) with
  /// the pointer at `x`: with `zoom` (Ctrl held) it zooms around the pointer, away zooming in;
  /// else it scrolls, away and left going back.
  bool Wheel(double right, double away, bool zoom, double x);
  bool Press(TimelineKey key);
  /// Where the scroll bar's thumb was moved; the bar's values are `Zoom().ScrollBar()`.
  bool ScrollBarMoved(int value);
  /// The pointer moved to `x`, `y`; true when the time it shows or the clip under it changed.
  bool PointerAt(double x, double y);
  bool PointerLeft();

  /// The clip under the pointer; nullopt over none.
  std::optional<TimelineHit> Hovered() const { return hovered; }
  /// The lines shown over the clip under the pointer; empty over none.
  std::string HoverText() const;
  /// The Windows folder of the clip at `x`, `y` when its medium is not found (empty when its
  /// name has none): a click there leads to the media folders with it; nullopt for any other.
  std::optional<std::string> FolderToFind(double x, double y) const;

 private:
  void Shown(std::optional<TimelineScene> made);
  /// The pointer's x when over the rows, else the rows' middle: where keys zoom around.
  double Anchor() const;
  /// After a zoom or scroll: the clip under the pointer.
  void Moved();

  std::function<void()> changed;
  std::optional<TimelineScene> scene;
  TimelineZoom zoom;
  TimelineMetrics metrics;
  double width = 1;
  std::optional<std::pair<double, double>> pointer;  ///< x and y
  std::optional<TimelineHit> hovered;
  MediumFactsReading facts;
  PosterReading posterReading;
  PictureDrawing drawing;  ///< last: its thread ends before the rest goes
};

}  // namespace pexol::pages
