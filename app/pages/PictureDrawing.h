// app/pages/PictureDrawing.h - the timeline under the pages, laid out off the window's thread
#pragma once

#include <functional>
#include <optional>

#include "app/pages/PageState.h"
#include "app/pages/RunThread.h"
#include "picture/TimelineScene.h"

namespace pexol::pages {

/// Makes the scene of the page in front's project with `RunPicture` on a `RunThread` (the
/// window draws it itself); a request made while one is made waits for it and then replaces it.
class PictureDrawing {
 public:
  /// `wake` posts a call of `Deliver` to the window's thread and does nothing else (it is
  /// called from the drawing's thread); `show` is called on the window's thread with the
  /// scene made, or nothing to hide the timeline.
  PictureDrawing(std::function<void()> wake,
                 std::function<void(std::optional<TimelineScene>)> show);

  /// Draws the picture of `request` unless it is the one shown; an empty source hides it.
  void Show(const PictureRequest& request);
  /// True while a picture is being drawn (or waits to be shown).
  bool Drawing() const { return thread.Busy(); }
  /// The wake's call: shows the picture drawn, or starts the one that waited.
  void Deliver();
  /// Waits for a picture being drawn; `Deliver` still shows it.
  void Wait() { thread.Wait(); }

 private:
  void Start(const PictureRequest& request);

  std::function<void()> wake;
  std::function<void(std::optional<TimelineScene>)> show;
  std::optional<TimelineScene> made;  ///< written by the drawing's thread, read once it ended
  std::optional<PictureRequest> shown;
  std::optional<PictureRequest> waiting;
  NullObserver quiet;
  RunThread thread;  ///< last: joined before the rest goes
};

}  // namespace pexol::pages
