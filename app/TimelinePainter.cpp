// app/TimelinePainter.cpp - boxes, lines, triangles and texts in Qt's raster painter
#include "app/TimelinePainter.h"

#include <QFontMetricsF>
#include <QPolygonF>
#include <algorithm>
#include <type_traits>

namespace pexol {

namespace {

QColor ColourOf(std::uint32_t rgb, double opacity = 1) {
  QColor colour(QRgb(0xFF000000u | rgb));
  colour.setAlphaF(static_cast<float>(opacity));
  return colour;
}

class ShapePainter {
 public:
  ShapePainter(QPainter& painter, const QFont& font, PosterImages* posters)
      : painter(painter),
        metrics(font),
        centre((metrics.ascent() - metrics.descent()) / 2),
        posters(posters) {
    painter.setFont(font);
  }

  void operator()(const pages::ShapeBox& box) {
    const QRectF area(box.x, box.y, box.width, box.height);
    painter.fillRect(area, ColourOf(box.fill));
    if (box.hatch) painter.fillRect(area, QBrush(ColourOf(*box.hatch), Qt::BDiagPattern));
    if (!box.outline) return;
    QPen pen(ColourOf(*box.outline), box.outlineWidth);
    pen.setStyle(box.dashed ? Qt::DashLine : Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The outline inside the box, as wide as it is.
    const double half = box.outlineWidth / 2;
    painter.drawRect(area.adjusted(half, half, -half, -half));
  }

  void operator()(const pages::ShapeLine& line) {
    painter.setPen(QPen(ColourOf(line.colour), line.width));
    painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
  }

  void operator()(const pages::ShapeTriangle& triangle) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColourOf(triangle.fill, triangle.opacity));
    const QPointF corners[] = {{triangle.x[0], triangle.y[0]},
                               {triangle.x[1], triangle.y[1]},
                               {triangle.x[2], triangle.y[2]}};
    painter.drawPolygon(corners, 3);
  }

  void operator()(const pages::ShapeText& text) {
    const QString whole = QString::fromStdString(text.text);
    const QString shown = metrics.elidedText(whole, Qt::ElideRight, text.room);
    // A text cut to less than a character and "…" says nothing: left out.
    if (shown.size() < 2 && shown != whole) return;
    painter.setPen(ColourOf(text.colour));
    painter.drawText(QPointF(text.x, text.middle + centre), shown);
  }

  void operator()(const pages::ShapePoster& poster) {
    if (!posters) return;
    const QImage& image = posters->Of(poster.png);
    if (image.isNull() || poster.height <= 0) return;
    // Its shape kept at the room's height; a narrower room shows its middle.
    const double scale = image.height() / poster.height;
    const double shownWidth = std::min(poster.width * scale, double(image.width()));
    const QRectF from((image.width() - shownWidth) / 2, 0, shownWidth, image.height());
    const QRectF to(poster.x, poster.y, shownWidth / scale, poster.height);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(to, image, from);
    painter.restore();
  }

 private:
  QPainter& painter;
  QFontMetricsF metrics;
  double centre;
  PosterImages* posters;
};

}  // namespace

const QImage& PosterImages::Of(std::string_view png) {
  const auto at = images.find(png.data());
  if (at != images.end()) return at->second;
  QImage image = QImage::fromData(reinterpret_cast<const uchar*>(png.data()),
                                  static_cast<int>(png.size()), "PNG");
  return images.emplace(png.data(), std::move(image)).first->second;
}

void PaintTimeline(QPainter& painter, const std::vector<pages::TimelineShape>& shapes,
                   const QFont& font, PosterImages* posters) {
  ShapePainter paint(painter, font, posters);
  for (const pages::TimelineShape& shape : shapes) std::visit(paint, shape);
}

}  // namespace pexol
