// app/pages/RunThread.h - a run on a thread of its own, whatever it throws turned into a result
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "core/RunObserver.h"
#include "run/RunResult.h"

namespace pexol::pages {

/// A job the window runs: it owns all it reads and reports to the observer it is given.
using Driver = std::function<RunResult(RunObserver&)>;

/// What `driver` returns; whatever it throws is a failed result naming `file` (the project the
/// run works on), so that a run never ends the window and the choices made in it.
RunResult RunCaught(const Driver& driver, RunObserver& observer, std::string_view file);

/// The one place the window starts a thread for a job, a page's run or the picture's: one job at
/// a time, run as `RunCaught` runs it. Joined before it goes.
class RunThread {
 public:
  RunThread() = default;
  ~RunThread() { Wait(); }
  RunThread(const RunThread&) = delete;
  RunThread& operator=(const RunThread&) = delete;

  /// Starts `driver` reporting to `observer`, which must outlive the job; `ended` is called on
  /// the job's thread once its result is ready, and must only post to the window's thread.
  void Start(Driver driver, RunObserver& observer, std::string file, std::function<void()> ended);
  /// True from Start until Take: a job goes on or its result waits to be taken.
  bool Busy() const { return busy; }
  /// True once the job's result is ready.
  bool Done() const { return done.load(); }
  /// Waits for the job's thread to end.
  void Wait();
  /// Waits for the job and hands over its result.
  RunResult Take();

 private:
  std::thread thread;
  RunResult result;  ///< written by the job's thread, read once it has ended
  std::atomic<bool> done{false};
  bool busy = false;
};

}  // namespace pexol::pages
