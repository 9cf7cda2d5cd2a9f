// app/pages/PictureDrawing.cpp - one scene made at a time, the latest request next
#include "app/pages/PictureDrawing.h"

#include "app/pages/WindowRules.h"
#include "picture/RunPicture.h"

namespace pexol::pages {

PictureDrawing::PictureDrawing(std::function<void()> wake,
                               std::function<void(std::optional<TimelineScene>)> show)
    : wake(std::move(wake)), show(std::move(show)) {}

void PictureDrawing::Show(const PictureRequest& request) {
  if (thread.Busy()) {
    waiting = request;
    return;
  }
  if (shown && *shown == request) return;
  Start(request);
}

void PictureDrawing::Start(const PictureRequest& request) {
  shown = request;
  if (request.source.empty()) {
    show(std::nullopt);
    return;
  }
  PictureJob job = PictureJobFor(request);
  job.onScene = [this](TimelineScene scene) { made = std::move(scene); };
  thread.Start([job](RunObserver& observer) { return RunPicture(job, observer); }, quiet,
               request.source, wake);
}

void PictureDrawing::Deliver() {
  if (!thread.Busy() || !thread.Done()) return;
  const bool completed = thread.Take().Completed();
  std::optional<TimelineScene> picture = std::move(made);
  made.reset();
  if (waiting) {
    const PictureRequest next = std::move(*waiting);
    waiting.reset();
    if (!(next == *shown)) {
      Start(next);
      return;
    }
  }
  // A project that cannot be read has no picture: the page's run says why.
  show(completed ? std::move(picture) : std::nullopt);
}

}  // namespace pexol::pages
