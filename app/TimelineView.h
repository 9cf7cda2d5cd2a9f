// app/TimelineView.h - the timeline picture of the page in front, drawn off the window's thread
#pragma once

#include <QFutureWatcher>
#include <QPainter>
#include <QScrollArea>
#include <QString>
#include <QSvgRenderer>
#include <memory>
#include <optional>
#include <vector>

#include "app/pages/PageState.h"
#include "picture/RunPicture.h"

namespace pexol {

class PictureCanvas;

using pages::PictureRequest;

/// Shows a project's timeline: fitted to the width, or at full size with scroll bars
/// (double-click switches); a clip's tooltip is its line. The picture is drawn by `RunPicture`
/// on a worker thread; a request made while one is drawn waits for it and then replaces it.
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
  struct Drawn {
    bool completed = false;
    TimelinePicture picture;
  };
  void Start(const PictureRequest& request);
  void Finished();
  void Layout();

  std::unique_ptr<QSvgRenderer> renderer;
  PictureCanvas* canvas = nullptr;
  QFutureWatcher<Drawn> watcher;
  std::vector<PictureBox> boxes;
  std::vector<PictureLabel> labels;
  std::optional<PictureRequest> shown;
  std::unique_ptr<PictureRequest> waiting;
  bool fitted = true;
};

}  // namespace pexol
