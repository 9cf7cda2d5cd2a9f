// app/TimelinePainter.h - the page layer's timeline shapes painted with QPainter
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <map>
#include <string_view>
#include <vector>

#include "app/pages/TimelineShapes.h"

namespace pexol {

/// The poster frames' PNGs decoded once, by where their bytes are, for as long as the timeline's
/// posters stay the same (`Clear` when they change).
class PosterImages {
 public:
  const QImage& Of(std::string_view png);
  void Clear() { images.clear(); }

 private:
  std::map<const char*, QImage> images;
};

/// Paints `shapes` in order, their texts in `font` cut to their room with "…", posters decoded
/// through `posters` (left out without it).
void PaintTimeline(QPainter& painter, const std::vector<pages::TimelineShape>& shapes,
                   const QFont& font, PosterImages* posters = nullptr);

}  // namespace pexol
