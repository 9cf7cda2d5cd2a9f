// app/pages/RunRelay.cpp - a run's progress handed to the window's thread, coalesced
#include "app/pages/RunRelay.h"

#include "core/TextEncoding.h"

namespace pexol::pages {

RunRelay::RunRelay(RunShown start, std::function<void()> wake,
                   std::function<void(const RunShown&)> show)
    : wake(std::move(wake)), show(std::move(show)), pending(std::move(start)) {}

void RunRelay::Status(std::string_view line) {
  // The command line's decoding, so that a name reads the same in the window and on the terminal.
  std::string text = DisplayText(line);
  {
    const std::lock_guard locked(lock);
    pending.status = std::move(text);
    dirty = true;
  }
  Changed(line.empty());
}

void RunRelay::Progress(int done, int total) {
  bool started = false;
  {
    const std::lock_guard locked(lock);
    started = total != pending.total || done == 0;
    pending.done = done;
    pending.total = total;
    dirty = true;
  }
  Changed(started || done >= total);
}

void RunRelay::Changed(bool final) {
  if (std::this_thread::get_id() == owner) {
    if (final || std::chrono::steady_clock::now() - shownAt >= repaintInterval) Flush();
    return;
  }
  {
    const std::lock_guard locked(lock);
    if (wakePosted) return;
    wakePosted = true;
  }
  wake();
}

void RunRelay::Flush() {
  RunShown shown;
  {
    const std::lock_guard locked(lock);
    wakePosted = false;
    if (!dirty) return;
    dirty = false;
    shown = pending;
  }
  show(shown);
  ++repaints;
  shownAt = std::chrono::steady_clock::now();
}

}  // namespace pexol::pages
