// app/pages/RunRelay.h - a run's status and progress handed from its thread to the window's
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/RunObserver.h"

namespace pexol::pages {

/// What the status line and bar show.
struct RunShown {
  std::string status;  ///< UTF-8, decoded for display
  int done = 0;
  int total = 200;
};

/// Keeps a page's status line and bar up to date while a run goes on. A run on a worker
/// thread hands its lines over under a lock and wakes the window's thread (`wake`, which must
/// be safe to call from any thread and only post); at most one wake waits at a time, so
/// thousands of records do not flood the window's queue. On the window's own thread changes
/// show at most every `repaintInterval`; a cleared status line, a full or new bar and `Flush`
/// always show. Cancel sets a flag the run polls at each step.
class RunRelay final : public RunObserver {
 public:
  static constexpr std::chrono::milliseconds repaintInterval{40};

  /// Created on the window's thread, which `show` is called on with what to show.
  RunRelay(RunShown start, std::function<void()> wake, std::function<void(const RunShown&)> show);

  void Status(std::string_view line) override;
  void Progress(int done, int total) override;
  bool StopRequested() const override { return stop.load(); }
  /// Asks the run to stop at its next step.
  void RequestStop() { stop.store(true); }
  /// Shows the latest status and progress now; on the window's thread only (the wake's
  /// handler calls it).
  void Flush();
  /// How many times the controls were shown; lets tests see the coalescing.
  int Repaints() const { return repaints; }

 private:
  void Changed(bool final);

  const std::thread::id owner = std::this_thread::get_id();
  std::function<void()> wake;
  std::function<void(const RunShown&)> show;
  std::chrono::steady_clock::time_point shownAt = std::chrono::steady_clock::now();
  mutable std::mutex lock;  ///< guards the pending values, written by the run's thread
  RunShown pending;
  bool dirty = false;
  bool wakePosted = false;
  int repaints = 0;
  std::atomic<bool> stop{false};
};

}  // namespace pexol::pages
