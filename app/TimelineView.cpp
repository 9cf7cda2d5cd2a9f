// app/TimelineView.cpp - the SVG timeline on a canvas, its tooltips hit-tested by element id
#include "app/TimelineView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QtConcurrent/QtConcurrentRun>

#include "app/ControlIds.h"
#include "app/DisplayText.h"
#include "app/pages/WindowRules.h"

namespace pexol {

/// Paints the renderer at the view's scale and answers tooltips.
class PictureCanvas final : public QWidget {
 public:
  explicit PictureCanvas(TimelineView& view) : QWidget(&view), view(view) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    view.Renderer().render(&painter, QRectF(rect()));
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
    : QScrollArea(parent), renderer(std::make_unique<QSvgRenderer>()) {
  setObjectName(QString::number(ids::timeline));
  canvas = new PictureCanvas(*this);
  setWidget(canvas);
  setWidgetResizable(false);
  setMinimumHeight(120);
  hide();
  connect(&watcher, &QFutureWatcher<Drawn>::finished, this, &TimelineView::Finished);
}

TimelineView::~TimelineView() {
  waiting.reset();
  Wait();
}

void TimelineView::Show(const PictureRequest& request) {
  if (watcher.isRunning()) {
    waiting = std::make_unique<PictureRequest>(request);
    return;
  }
  if (shown && *shown == request) return;
  Start(request);
}

void TimelineView::Start(const PictureRequest& request) {
  shown = request;
  if (request.source.empty()) {
    boxes.clear();
    renderer->load(QByteArray());
    hide();
    emit PictureShown();
    return;
  }
  PictureJob job = pages::PictureJobFor(request);
  watcher.setFuture(QtConcurrent::run([job]() mutable {
    Drawn drawn;
    job.onPicture = [&drawn](const TimelinePicture& picture) { drawn.picture = picture; };
    NullObserver quiet;
    drawn.completed = RunPicture(job, quiet).Completed();
    return drawn;
  }));
}

void TimelineView::Wait() {
  watcher.waitForFinished();
}

void TimelineView::Finished() {
  const Drawn drawn = watcher.result();
  if (waiting) {
    const PictureRequest next = *waiting;
    waiting.reset();
    if (!(next == *shown)) {
      Start(next);
      return;
    }
  }
  // A project that cannot be read has no picture: the page's run says why.
  if (drawn.completed) {
    boxes = drawn.picture.boxes;
    renderer->load(QByteArray::fromStdString(drawn.picture.svg));
    show();
  } else {
    boxes.clear();
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

QString TimelineView::LineAt(const QPointF& point) const {
  for (const PictureBox& box : boxes)
    if (BoundsOf(QString::fromStdString(box.id)).contains(point))
      return QString::fromStdString(box.line);
  return {};
}

}  // namespace pexol
