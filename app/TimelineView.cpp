// app/TimelineView.cpp - the SVG timeline on a canvas, its tooltips hit-tested by element id
#include "app/TimelineView.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "app/DisplayText.h"
#include "app/pages/ControlIds.h"
#include "app/pages/WindowRules.h"
#include "core/XmlWriter.h"
#include "picture/SvgWriter.h"

namespace pexol {

namespace {

/// `element` and what it holds, as the picture wrote them, but for the labels: the window
/// draws those over it in its own font.
void WriteWithoutText(XmlWriter& xml, const SvgElement& element) {
  if (element.name == "text") return;
  xml.Open(element.name);
  for (const auto& [name, value] : element.attributes) xml.Attribute(name, value);
  if (!element.text.empty()) xml.Text(element.text);
  for (const SvgElement& child : element.children) WriteWithoutText(xml, child);
  xml.Close();
}

QByteArray WithoutText(const SvgElement& drawing) {
  XmlWriter xml;
  WriteWithoutText(xml, drawing);
  return QByteArray::fromStdString(xml.Finish());
}

}  // namespace

/// Paints the renderer at the view's scale and answers tooltips.
class PictureCanvas final : public QWidget {
 public:
  explicit PictureCanvas(TimelineView& view) : QWidget(&view), view(view) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    view.Renderer().render(&painter, QRectF(rect()));
    view.PaintLabels(painter);
  }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      auto* help = static_cast<QHelpEvent*>(event);
      const QString line = view.LineAt(help->pos());
      if (line.isEmpty())
        QToolTip::hideText();
      else
        QToolTip::showText(help->globalPos(), line, this);
      return true;
    }
    return QWidget::event(event);
  }
  void mouseDoubleClickEvent(QMouseEvent*) override { view.SetFitted(!view.Fitted()); }

 private:
  TimelineView& view;
};

TimelineView::TimelineView(QWidget* parent)
    : QScrollArea(parent),
      renderer(std::make_unique<QSvgRenderer>()),
      drawing(
          [this] {
            QMetaObject::invokeMethod(
                this, [this] { drawing.Deliver(); }, Qt::QueuedConnection);
          },
          [this](std::optional<TimelinePicture> drawn) { Finished(std::move(drawn)); }) {
  setObjectName(QString::number(ids::timeline));
  canvas = new PictureCanvas(*this);
  setWidget(canvas);
  setWidgetResizable(false);
  setMinimumHeight(120);
  hide();
}

TimelineView::~TimelineView() {
  Wait();
}

void TimelineView::Show(const PictureRequest& request) {
  drawing.Show(request);
}

void TimelineView::Wait() {
  drawing.Wait();
}

void TimelineView::Finished(std::optional<TimelinePicture> drawn) {
  if (drawn) {
    boxes = drawn->boxes;
    labels = drawn->labels;
    renderer->load(WithoutText(drawn->drawing));
    show();
  } else {
    boxes.clear();
    labels.clear();
    renderer->load(QByteArray());
    hide();
  }
  Layout();
  emit PictureShown();
}

void TimelineView::SetFitted(bool fit) {
  fitted = fit;
  Layout();
}

void TimelineView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  Layout();
}

void TimelineView::Layout() {
  const QSizeF size = renderer->isValid() ? QSizeF(renderer->defaultSize()) : QSizeF(1, 1);
  if (fitted) {
    const double width = std::max(1, viewport()->width());
    const double scale = width / std::max(1.0, size.width());
    canvas->resize(static_cast<int>(width), std::max(1, static_cast<int>(size.height() * scale)));
  } else {
    canvas->resize(size.toSize());
  }
  canvas->update();
}

QRectF TimelineView::BoundsOf(const QString& id) const {
  if (!renderer->isValid() || !renderer->elementExists(id)) return {};
  const QRectF bounds = renderer->transformForElement(id).mapRect(renderer->boundsOnElement(id));
  const QSizeF size = renderer->viewBoxF().size();
  const double sx = canvas->width() / std::max(1.0, size.width());
  const double sy = canvas->height() / std::max(1.0, size.height());
  return {bounds.x() * sx, bounds.y() * sy, bounds.width() * sx, bounds.height() * sy};
}

void TimelineView::PaintLabels(QPainter& painter) const {
  if (!renderer->isValid()) return;
  // The text in the window's font, whatever the scale: the boxes are scaled, the letters not.
  const QSizeF size = renderer->viewBoxF().size();
  const double sx = canvas->width() / std::max(1.0, size.width());
  const double sy = canvas->height() / std::max(1.0, size.height());
  painter.setFont(canvas->font());
  const QFontMetricsF metrics(canvas->font());
  const double centre = (metrics.ascent() - metrics.descent()) / 2;
  for (const PictureLabel& label : labels) {
    const QString whole = QString::fromStdString(label.text);
    const QString text = metrics.elidedText(whole, Qt::ElideRight, label.room * sx);
    // As in the document: a label cut to less than a character and "…" is left out.
    if (text.size() < 2 && text != whole) continue;
    painter.setPen(QColor(QString::fromStdString(label.fill)));
    painter.drawText(QPointF(label.x * sx, label.middle * sy + centre), text);
  }
}

QString TimelineView::LineAt(const QPointF& point) const {
  for (const PictureBox& box : boxes)
    if (BoundsOf(QString::fromStdString(box.id)).contains(point))
      return QString::fromStdString(box.line);
  return {};
}

}  // namespace pexol
