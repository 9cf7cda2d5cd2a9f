// app/pages/TimelineState.cpp - the view's input turned into zoom, scroll and hover
#include "app/pages/TimelineState.h"

#include <cmath>
#include <set>

#include "app/pages/MediaFolders.h"
#include "app/pages/TimelineHover.h"

namespace pexol::pages {

namespace {

/// A notch of the wheel, or an arrow key, scrolls this far at 100 %.
constexpr double scrollStep = 48;

}  // namespace

TimelineState::TimelineState(std::function<void()> wake, std::function<void()> changed)
    : changed(std::move(changed)),
      facts(wake),
      posterReading(wake),
      drawing(wake, [this](std::optional<TimelineScene> made) { Shown(std::move(made)); }) {}

void TimelineState::Show(const PictureRequest& request) {
  drawing.Show(request);
}

void TimelineState::Deliver() {
  drawing.Deliver();
  const bool factsCame = facts.Deliver();
  const bool postersCame = posterReading.Deliver();
  if ((factsCame || postersCame) && changed) changed();
}

void TimelineState::Settle() {
  while (drawing.Drawing() || facts.Reading() || posterReading.Reading()) {
    drawing.Wait();
    facts.Wait();
    posterReading.Wait();
    Deliver();
  }
}

void TimelineState::Shown(std::optional<TimelineScene> made) {
  // The same length again (the media folders changed, say) keeps the zoom and place.
  const bool sameLength = scene && made && scene->end == made->end;
  scene = std::move(made);
  hovered.reset();
  if (scene && !sameLength) zoom.SetEnd(scene->end);
  std::set<std::string> found;
  if (scene)
    for (const SceneRow& row : scene->rows)
      for (const SceneClip& clip : row.clips)
        if (clip.medium == MediumState::Found) found.insert(clip.path);
  facts.Read({found.begin(), found.end()});
  if (scene)
    posterReading.Read(*scene);
  else
    posterReading.Clear();
  if (changed) changed();
}

double TimelineState::Height() const {
  return metrics.Height(scene ? scene->rows.size() : 0);
}

void TimelineState::SetView(double viewWidth, double scale, double labelWidth) {
  width = viewWidth;
  metrics.scale = scale;
  metrics.labelWidth = labelWidth;
  zoom.SetView(width - labelWidth, scale);
}

std::vector<TimelineShape> TimelineState::Shapes() const {
  if (!scene) return {};
  return ShapesOf(*scene, zoom, metrics, width,
                  pointer ? std::optional<double>(pointer->first) : std::nullopt,
                  &posterReading.Posters());
}

double TimelineState::Anchor() const {
  if (pointer && pointer->first >= metrics.labelWidth) return pointer->first - metrics.labelWidth;
  return zoom.RowsWidth() / 2;
}

bool TimelineState::Wheel(double right, double away, bool zooming, double x) {
  if (!scene) return false;
  const double before = zoom.Left();
  const double zoomBefore = zoom.Zoom();
  if (zooming)
    zoom.ZoomBy(away, std::max(0.0, x - metrics.labelWidth));
  else
    zoom.ScrollBy((right - away) * scrollStep * metrics.scale);
  if (zoom.Left() == before && zoom.Zoom() == zoomBefore) return false;
  Moved();
  return true;
}

void TimelineState::Moved() {
  // The clips slid under a pointer that stayed.
  if (pointer) hovered = HitAt(*scene, zoom, metrics, pointer->first, pointer->second);
}

bool TimelineState::Press(TimelineKey key) {
  if (!scene) return false;
  const double before = zoom.Left();
  const double zoomBefore = zoom.Zoom();
  const double page = zoom.RowsWidth() * 0.9;
  switch (key) {
    case TimelineKey::ZoomIn:
      zoom.ZoomBy(1, Anchor());
      break;
    case TimelineKey::ZoomOut:
      zoom.ZoomBy(-1, Anchor());
      break;
    case TimelineKey::Fit:
      zoom.Fit();
      break;
    case TimelineKey::OneToOne:
      zoom.ZoomTo(1, Anchor());
      break;
    case TimelineKey::Left:
      zoom.ScrollBy(-scrollStep * metrics.scale);
      break;
    case TimelineKey::Right:
      zoom.ScrollBy(scrollStep * metrics.scale);
      break;
    case TimelineKey::PageLeft:
      zoom.ScrollBy(-page);
      break;
    case TimelineKey::PageRight:
      zoom.ScrollBy(page);
      break;
    case TimelineKey::Start:
      zoom.ScrollTo(0);
      break;
    case TimelineKey::End:
      zoom.ScrollTo(static_cast<double>(zoom.End()));
      break;
  }
  if (zoom.Left() == before && zoom.Zoom() == zoomBefore) return key == TimelineKey::Fit;
  Moved();
  return true;
}

bool TimelineState::ScrollBarMoved(int value) {
  if (!scene) return false;
  const double before = zoom.Left();
  zoom.SetScrollBar(value);
  if (zoom.Left() == before) return false;
  Moved();
  return true;
}

bool TimelineState::PointerAt(double x, double y) {
  if (!scene) return false;
  const std::optional<TimelineHit> now = HitAt(*scene, zoom, metrics, x, y);
  // The line under the pointer moves with it, a pixel at a time.
  const bool moved = !pointer || std::floor(pointer->first) != std::floor(x);
  const bool other = now != hovered;
  pointer = {x, y};
  hovered = now;
  return moved || other;
}

bool TimelineState::PointerLeft() {
  const bool shown = pointer.has_value() || hovered.has_value();
  pointer.reset();
  hovered.reset();
  return shown;
}

std::string TimelineState::HoverText() const {
  if (!scene || !hovered) return {};
  const SceneClip& clip = scene->rows[hovered->row].clips[hovered->clip];
  return pages::HoverText(*scene, *hovered, facts.Of(clip.path));
}

std::optional<std::string> TimelineState::FolderToFind(double x, double y) const {
  if (!scene) return std::nullopt;
  const std::optional<TimelineHit> hit = HitAt(*scene, zoom, metrics, x, y);
  if (!hit) return std::nullopt;
  const SceneClip& clip = scene->rows[hit->row].clips[hit->clip];
  if (!clip.Missing()) return std::nullopt;
  return StoredFolder(clip.stored);
}

}  // namespace pexol::pages
