// app/TimelinePainter.h - the page layer's timeline shapes painted with QPainter
#pragma once

#include <QFont>
#include <QPainter>
#include <vector>

#include "app/pages/TimelineShapes.h"

namespace pexol {

/// Paints `shapes` in order, their texts in `font` cut to their room with "…".
void PaintTimeline(QPainter& painter, const std::vector<pages::TimelineShape>& shapes,
                   const QFont& font);

}  // namespace pexol
