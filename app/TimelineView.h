// app/TimelineView.h - the timeline picture of the page in front, drawn off the window's thread
#pragma once

#include <QPainter>
#include <QScrollArea>
#include <QString>
#include <QSvgRenderer>
#include <memory>
#include <optional>
#include <vector>

#include "app/pages/PageState.h"
#include "app/pages/PictureDrawing.h"
#include "picture/RunPicture.h"

namespace pexol {

class PictureCanvas;

using pages::PictureRequest;

/// Shows a project's timeline: fitted to the width, or at full size with scroll bars
/// (double-click switches); a clip's tooltip is its line. The page layer's `PictureDrawing`
/// draws it off the window's thread.
class TimelineView final : public QScrollArea {
  Q_OBJECT

 public:
  explicit TimelineView(QWidget* parent = nullptr);
  ~TimelineView() override;

  /// Draws the picture of `request` unless it is the one shown; an empty source hides it.
  void Show(const PictureRequest& request);
  /// Waits for a picture being drawn; for tests and for closing.
  void Wait();
  /// The boxes of the picture shown; empty before one is.
  const std::vector<PictureBox>& Boxes() const { return boxes; }
  /// The line of the clip under `point` (in the canvas's coordinates); empty over no clip.
  QString LineAt(const QPointF& point) const;
  /// The bounds of box `id` on the canvas as it is shown now.
  QRectF BoundsOf(const QString& id) const;
  bool Fitted() const { return fitted; }
  void SetFitted(bool fit);
  QSvgRenderer& Renderer() { return *renderer; }
  /// Draws the picture's text over the canvas in the canvas's font (the window's).
  void PaintLabels(QPainter& painter) const;

 signals:
  /// A picture was shown (or the view hidden); tests wait for it.
  void PictureShown();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Finished(std::optional<TimelinePicture> drawn);
  void Layout();

  std::unique_ptr<QSvgRenderer> renderer;
  PictureCanvas* canvas = nullptr;
  std::vector<PictureBox> boxes;
  std::vector<PictureLabel> labels;
  bool fitted = true;
  pages::PictureDrawing drawing;  ///< last: its thread ends before the rest goes
};

}  // namespace pexol
