// app/pages/TimelineZoom.h - how much of the timeline the view shows and where: zoom and scroll
#pragma once

#include <cstdint>

namespace pexol::pages {

/// The zoom and scroll of a timeline view, in the view's pixels. The zoom is in pixels at 100 %
/// a frame: 1:1 is one a frame, at which a clip of 2 s is 50 (PAL) or 60 (NTSC) wide, room for
/// the first characters of its name. The view starts fitted (the whole timeline in its width)
/// and stays fitted as it is resized until it is zoomed or scrolled.
class TimelineZoom {
 public:
  /// Widest zoom: a frame 32 pixels wide, a few characters of a timecode.
  static constexpr double closest = 32;
  /// Each zoom step, a key or a notch of the wheel, is this factor.
  static constexpr double step = 1.4142135623730951;
  /// The room kept right of the timeline's end, at 100 %.
  static constexpr double endRoom = 20;

  /// The rows' width in pixels and the window's scale (its DPI over 96).
  void SetView(double rowsWidth, double scale);
  /// A new timeline `end` frames long, shown fitted.
  void SetEnd(std::int64_t end);

  std::int64_t End() const { return end; }
  double RowsWidth() const { return width; }
  /// Pixels at 100 % a frame; 1 is 1:1.
  double Zoom() const { return zoom; }
  /// The view's pixels a frame.
  double PixelsPerFrame() const { return zoom * scale; }
  /// The frame at the rows' left edge.
  double Left() const { return left; }
  bool Fitted() const { return fitted; }
  /// The zoom that shows the whole timeline; also the least, unless 1:1 is less.
  double FitZoom() const;

  /// The whole timeline in the view.
  void Fit();
  /// Zooms to `zoom`, keeping the frame at `anchor` (pixels from the rows' left edge) where it
  /// is; held between the least zoom and `closest`.
  void ZoomTo(double zoom, double anchor);
  /// `steps` zoom steps in (out when negative), around `anchor`.
  void ZoomBy(double steps, double anchor);
  /// Scrolls by `pixels` (to the right when positive), held within the timeline.
  void ScrollBy(double pixels);
  /// Scrolls to put frame `frame` at the rows' left edge, held within the timeline.
  void ScrollTo(double frame);

  /// Pixels from the rows' left edge to frame `frame`, at the view's scale.
  double XOf(double frame) const { return (frame - left) * PixelsPerFrame(); }
  /// The frame at `x` pixels from the rows' left edge.
  double FrameAt(double x) const { return left + x / PixelsPerFrame(); }

  /// A scroll bar of integers: its range, page and place, in units of a pixel or more, so that
  /// any length fits an int.
  struct Bar {
    int maximum = 0;  ///< 0 when the whole timeline is in view
    int page = 1;
    int value = 0;
  };
  Bar ScrollBar() const;
  /// Scrolls to where the bar's thumb was moved.
  void SetScrollBar(int value);

 private:
  double LeastZoom() const;
  double LastLeft() const;
  double Unit() const;

  std::int64_t end = 0;
  double width = 1;
  double scale = 1;
  double zoom = 1;
  double left = 0;
  bool fitted = true;
};

}  // namespace pexol::pages
