// app/pages/TimelineZoom.cpp - zoom held between the fitted view and a frame 32 pixels wide
#include "app/pages/TimelineZoom.h"

#include <algorithm>
#include <cmath>

namespace pexol::pages {

namespace {

constexpr double largestBar = 1 << 30;

}  // namespace

void TimelineZoom::SetView(double rowsWidth, double viewScale) {
  width = std::max(1.0, rowsWidth);
  scale = viewScale > 0 ? viewScale : 1;
  if (fitted)
    Fit();
  else
    ScrollTo(left);
}

void TimelineZoom::SetEnd(std::int64_t frames) {
  end = std::max<std::int64_t>(0, frames);
  Fit();
}

double TimelineZoom::FitZoom() const {
  if (end <= 0) return 1;
  return std::max(1.0, width / scale - endRoom) / static_cast<double>(end);
}

double TimelineZoom::LeastZoom() const {
  return std::min(FitZoom(), 1.0);
}

void TimelineZoom::Fit() {
  zoom = FitZoom();
  left = 0;
  fitted = true;
}

void TimelineZoom::ZoomTo(double wanted, double anchor) {
  const double held = std::clamp(wanted, LeastZoom(), std::max(closest, FitZoom()));
  const double frame = FrameAt(anchor);
  zoom = held;
  // Zoomed out to the whole timeline, the view follows the width again.
  fitted = zoom == FitZoom();
  ScrollTo(fitted ? 0 : frame - anchor / PixelsPerFrame());
}

void TimelineZoom::ZoomBy(double steps, double anchor) {
  ZoomTo(zoom * std::pow(step, steps), anchor);
}

double TimelineZoom::LastLeft() const {
  const double shown = (width - endRoom * scale) / PixelsPerFrame();
  return std::max(0.0, static_cast<double>(end) - shown);
}

void TimelineZoom::ScrollBy(double pixels) {
  ScrollTo(left + pixels / PixelsPerFrame());
}

void TimelineZoom::ScrollTo(double frame) {
  left = std::clamp(frame, 0.0, LastLeft());
  if (left > 0) fitted = false;
}

double TimelineZoom::Unit() const {
  const double contents = LastLeft() * PixelsPerFrame() + width;
  return std::max(1.0, std::ceil(contents / largestBar));
}

TimelineZoom::Bar TimelineZoom::ScrollBar() const {
  const double unit = Unit();
  Bar bar;
  bar.maximum = static_cast<int>(std::ceil(LastLeft() * PixelsPerFrame() / unit));
  bar.page = std::max(1, static_cast<int>(width / unit));
  bar.value =
      left >= LastLeft()
          ? bar.maximum
          : std::min(bar.maximum, static_cast<int>(std::lround(left * PixelsPerFrame() / unit)));
  return bar;
}

void TimelineZoom::SetScrollBar(int value) {
  const Bar bar = ScrollBar();
  // The thumb at the end is the end, whatever the units' rounding.
  if (value >= bar.maximum) {
    ScrollTo(LastLeft());
    return;
  }
  ScrollTo(static_cast<double>(value) * Unit() / PixelsPerFrame());
}

}  // namespace pexol::pages
