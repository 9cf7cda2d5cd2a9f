// app/TimelineView.h - the timeline of the page in front: zoom, scroll and hover, painted with Qt
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "app/TimelinePainter.h"
#include "app/pages/PageState.h"
#include "app/pages/TimelineState.h"

class QScrollBar;
class QToolButton;

namespace pexol {

class TimelineCanvas;

using pages::PictureRequest;

/// Shows a project's timeline under the pages: a ruler in the project's timecode, a row per
/// track, a box per clip. It zooms with Ctrl and the wheel, + and -, 0 (the whole timeline) and
/// 1 (1:1, a pixel a frame), and its buttons; it scrolls with the wheel, the arrows and its
/// scroll bar. The clip under the pointer says what it is and where its medium is; a click on a
/// clip whose medium is not found asks for the media folders. The page layer's `TimelineState`
/// does all of that; this view paints and hands it the input.
class TimelineView final : public QWidget {
  Q_OBJECT

 public:
  explicit TimelineView(QWidget* parent = nullptr);
  ~TimelineView() override;

  /// Makes the timeline of `request` unless it is the one shown; an empty source hides it.
  void Show(const PictureRequest& request);
  /// Waits for the timeline being made and its media's facts, and shows them; for tests and
  /// for closing.
  void Wait();
  pages::TimelineState& State() { return state; }
  /// The widget the timeline is painted on, which takes the pointer, the wheel and the keys.
  QWidget* Canvas() const;
  QScrollBar* ScrollBar() const { return scrollBar; }
  /// The text shown over the clip under the pointer; empty over none.
  QString HoverText() const;

 signals:
  /// A timeline was shown (or the view hidden); tests wait for it.
  void PictureShown();
  /// A clip whose medium is not found was clicked: the media folders are wanted, with the
  /// clip's Windows folder (empty when it has none).
  void MediaFoldersWanted(const QString& windowsFolder);

 private:
  friend class TimelineCanvas;
  void Changed();
  /// The view's width, scale and names' column handed to the state; the bar follows.
  void Measure();
  /// Paints again after the zoom or scroll changed, and moves the bar.
  void Moved();

  TimelineCanvas* canvas = nullptr;
  QScrollBar* scrollBar = nullptr;
  PosterImages posterImages;   ///< the state's posters decoded, until they change
  pages::TimelineState state;  ///< last: its threads end before the rest goes
};

}  // namespace pexol
