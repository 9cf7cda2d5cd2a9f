// core/RunObserver.h - what a front end sees of a running command: its status, progress and stop
#pragma once

#include <cstdint>
#include <string_view>

namespace pexol {

/// Implemented by the window's pages, the command line and tests. A run calls it
/// synchronously from its own thread.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  /// The status line, e.g. "[MainAV] 12 / 40"; empty clears it at the end of a run.
  virtual void Status(std::string_view line) = 0;
  /// The progress bar: `done` steps of `total`, whatever scale the run chose (a front end shows
  /// the fraction).
  virtual void Progress(int done, int total) = 0;
  /// Frames encoded of the frames a render writes; called along with `Progress` by a render.
  virtual void Frames(std::int64_t /*done*/, std::int64_t /*total*/) {}
  /// True when the user asked the run to stop (a Cancel button, Ctrl-C); the run stops at its
  /// next step and leaves every destination as it was. May be called from the run's thread
  /// while another thread asks.
  virtual bool StopRequested() const { return false; }
};

/// Shows nothing of a run inside another and stops it when the outer run is asked to stop.
class StopOnlyObserver final : public RunObserver {
 public:
  explicit StopOnlyObserver(const RunObserver& outer) : outer_(outer) {}
  void Status(std::string_view) override {}
  void Progress(int, int) override {}
  bool StopRequested() const override { return outer_.StopRequested(); }

 private:
  const RunObserver& outer_;
};

/// Ignores everything; for probes, tests and benchmarks.
class NullObserver final : public RunObserver {
 public:
  void Status(std::string_view) override {}
  void Progress(int, int) override {}
};

}  // namespace pexol
