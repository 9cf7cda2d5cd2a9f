// app/TimelineView.cpp - the canvas, its buttons and scroll bar, and the input they hand over
#include "app/TimelineView.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/Controls.h"
#include "app/TimelinePainter.h"
#include "app/pages/ControlIds.h"
#include "core/Translation.h"

namespace pexol {

namespace {

std::optional<pages::TimelineKey> KeyOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return pages::TimelineKey::ZoomIn;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return pages::TimelineKey::ZoomOut;
    case Qt::Key_0:
      return pages::TimelineKey::Fit;
    case Qt::Key_1:
      return pages::TimelineKey::OneToOne;
    case Qt::Key_Left:
      return pages::TimelineKey::Left;
    case Qt::Key_Right:
      return pages::TimelineKey::Right;
    case Qt::Key_PageUp:
      return pages::TimelineKey::PageLeft;
    case Qt::Key_PageDown:
      return pages::TimelineKey::PageRight;
    case Qt::Key_Home:
      return pages::TimelineKey::Start;
    case Qt::Key_End:
      return pages::TimelineKey::End;
    default:
      return std::nullopt;
  }
}

}  // namespace

/// Paints the state's shapes and hands it the pointer, the wheel and the keys.
class TimelineCanvas final : public QWidget {
 public:
  explicit TimelineCanvas(TimelineView& view) : QWidget(&view), view(view) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintTimeline(painter, view.state.Shapes(), font(), &view.posterImages);
    // The keys reach it: said by a frame in the style's focus colour.
    if (hasFocus()) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void focusInEvent(QFocusEvent* event) override {
    QWidget::focusInEvent(event);
    update();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QWidget::focusOutEvent(event);
    update();
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    view.Measure();
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) view.Measure();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPointF at = event->position();
    if (view.state.PointerAt(at.x(), at.y())) update();
    // A missing clip is a link to the media folders.
    const bool link = view.state.FolderToFind(at.x(), at.y()).has_value();
    setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (QToolTip::isVisible()) ShowHover(event->globalPosition().toPoint());
  }
  void leaveEvent(QEvent*) override {
    if (view.state.PointerLeft()) update();
  }
  void mousePressEvent(QMouseEvent* event) override {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    if (const auto folder = view.state.FolderToFind(at.x(), at.y()))
      emit view.MediaFoldersWanted(QString::fromStdString(*folder));
  }
  void mouseDoubleClickEvent(QMouseEvent*) override {
    // The whole timeline, or 1:1 around the pointer.
    const bool whole = view.state.Zoom().Fitted();
    if (view.state.Press(whole ? pages::TimelineKey::OneToOne : pages::TimelineKey::Fit))
      view.Moved();
  }
  void wheelEvent(QWheelEvent* event) override {
    const QPoint angle = event->angleDelta();
    const bool zoom = (event->modifiers() & Qt::ControlModifier) != 0;
    // Shift turns the wheel's notches across, as elsewhere in Qt.
    const bool across = (event->modifiers() & Qt::ShiftModifier) != 0;
    const double right = -(across ? angle.y() : angle.x()) / 120.0;
    const double away = across ? 0 : angle.y() / 120.0;
    if (view.state.Wheel(right, away, zoom, event->position().x())) view.Moved();
    event->accept();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const std::optional<pages::TimelineKey> key = KeyOf(*event);
    if (!key) {
      QWidget::keyPressEvent(event);
      return;
    }
    if (view.state.Press(*key)) view.Moved();
  }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      // The clip where the pointer rests, wherever the moves before it left the pointer.
      const auto* help = static_cast<QHelpEvent*>(event);
      if (view.state.PointerAt(help->pos().x(), help->pos().y())) update();
      ShowHover(help->globalPos());
      return true;
    }
    return QWidget::event(event);
  }

 public:
  void ShowHover(const QPoint& global) {
    const QString text = view.HoverText();
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(global, text, this);
  }

 private:
  TimelineView& view;
};

TimelineView::TimelineView(QWidget* parent)
    : QWidget(parent),
      state(
          [this] {
            QMetaObject::invokeMethod(
                this, [this] { state.Deliver(); }, Qt::QueuedConnection);
          },
          [this] { Changed(); }) {
  setObjectName(QString::number(ids::timeline));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  struct Button {
    int id;
    std::string text;
    std::string_view tip;
    pages::TimelineKey key;
  };
  const Button made[] = {
      {ids::timelineFit, std::string(Tr("fit")), ToTranslate("Show the whole timeline (0)"),
       pages::TimelineKey::Fit},
      {ids::timelineOneToOne, "1:1", ToTranslate("A pixel a frame (1)"),
       pages::TimelineKey::OneToOne},
      {ids::timelineZoomOut, "\xE2\x88\x92", ToTranslate("Zoom out (-, Ctrl and the wheel)"),
       pages::TimelineKey::ZoomOut},
      {ids::timelineZoomIn, "+", ToTranslate("Zoom in (+, Ctrl and the wheel)"),
       pages::TimelineKey::ZoomIn}};
  for (const Button& each : made) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::number(each.id));
    button->setText(QString::fromStdString(each.text));
    button->setToolTip(QtText(Tr(each.tip)));
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QToolButton::clicked, this, [this, key = each.key] {
      if (state.Press(key)) Moved();
    });
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);
  canvas = new TimelineCanvas(*this);
  canvas->setObjectName(QString::number(ids::timelineCanvas));
  layout->addWidget(canvas);
  scrollBar = new QScrollBar(Qt::Horizontal, this);
  connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
    if (state.ScrollBarMoved(value)) canvas->update();
  });
  layout->addWidget(scrollBar);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  hide();
}

TimelineView::~TimelineView() {
  state.Wait();
}

QWidget* TimelineView::Canvas() const {
  return canvas;
}

void TimelineView::Show(const PictureRequest& request) {
  state.Show(request);
}

void TimelineView::Wait() {
  state.Settle();
}

QString TimelineView::HoverText() const {
  return QString::fromStdString(state.HoverText());
}

void TimelineView::Changed() {
  // The scene or its posters changed: the bytes decoded may be gone.
  posterImages.Clear();
  const bool shown = state.Scene() != nullptr;
  setVisible(shown);
  Measure();
  canvas->setFixedHeight(std::max(1, static_cast<int>(std::ceil(state.Height()))));
  canvas->update();
  // Facts read while the clip's text is up: the text says them now.
  if (QToolTip::isVisible() && canvas->underMouse()) canvas->ShowHover(QCursor::pos());
  emit PictureShown();
}

void TimelineView::Measure() {
  double labelWidth = 60;
  if (const TimelineScene* scene = state.Scene()) {
    const QFontMetricsF metrics(canvas->font());
    for (const std::string& name : pages::RowNames(*scene))
      labelWidth =
          std::max(labelWidth, metrics.horizontalAdvance(QString::fromStdString(name)) + 16);
  }
  state.SetView(canvas->width(), 1, std::ceil(labelWidth));
  Moved();
}

void TimelineView::Moved() {
  const pages::TimelineZoom::Bar bar = state.Zoom().ScrollBar();
  {
    const QSignalBlocker quiet(scrollBar);
    scrollBar->setRange(0, bar.maximum);
    scrollBar->setPageStep(bar.page);
    scrollBar->setSingleStep(std::max(1, bar.page / 16));
    scrollBar->setValue(bar.value);
  }
  scrollBar->setEnabled(bar.maximum > 0);
  canvas->update();
}

}  // namespace pexol
