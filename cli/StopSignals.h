// cli/StopSignals.h - Ctrl-C asks a long run to stop instead of ending the process at once
#pragma once

#include <chrono>
#include <functional>

#include "core/RunObserver.h"

namespace pexol::cli {

/// While it lives, the first SIGINT or SIGTERM only asks the run to stop (`StopAsked`), so that
/// it can close and remove what it was writing (an encoder's file, a folder being built, child
/// processes); a second one is handled as by every run: the children are killed, the
/// temporary files and folders go and the process ends. Once it is gone the run has ended, and
/// on POSIX a first signal no longer changes the result it reports and the status it exits
/// with; a second ends the process as before.
class StopOnSignals {
 public:
  /// A run still going `grace` after the first signal (and not placing its results, which it
  /// is let finish) is ended: its children get SIGTERM and, two seconds later, SIGKILL, its
  /// temporary files and folders go, and the process ends with status 2; with `stopped`, which
  /// then reports the stop as the run would have (on another thread, while the run's own is
  /// still busy), without the interrupt's message.
  explicit StopOnSignals(std::chrono::milliseconds grace = std::chrono::milliseconds(600),
                         std::function<void()> stopped = {});
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;
};

/// True once a signal asked the run to stop.
bool StopAsked();

/// Forwards the status and the bar to `terminal` and answers the stop a signal asked for.
class StoppableObserver final : public RunObserver {
 public:
  explicit StoppableObserver(RunObserver& terminal) : terminal_(terminal) {}
  void Status(std::string_view line) override { terminal_.Status(line); }
  void Progress(int done, int total) override { terminal_.Progress(done, total); }
  void Frames(std::int64_t done, std::int64_t total) override { terminal_.Frames(done, total); }
  bool StopRequested() const override { return StopAsked(); }

 private:
  RunObserver& terminal_;
};

}  // namespace pexol::cli
