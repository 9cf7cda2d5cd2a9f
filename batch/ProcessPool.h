// batch/ProcessPool.h - command lines run as child processes, a few at a time
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace pexol {

/// How a child ended: its exit status, or the signal that ended it.
struct ChildEnd {
  int exitCode = -1;  ///< -1 when a signal ended it (or it could not be started)
  int signal = 0;
  bool started = true;
};

/// Runs every command line (program first, found by path) with at most `parallel` at once,
/// their standard output and error discarded, and calls `finished` with each one's index as
/// it ends. `running` hears how many children run once they were started, again whenever
/// that number changed or jobs ended (after their places were filled), and at the end. `stop` is
/// asked about every few milliseconds: once it says so no job is started, the running ones get
/// SIGTERM and are waited for. False when it stopped.
bool RunInPool(const std::vector<std::vector<std::string>>& jobs, int parallel,
               const std::function<void(std::size_t, const ChildEnd&)>& finished,
               const std::function<bool()>& stop,
               const std::function<void(std::size_t)>& running = {});

/// The path of the running program (so that its jobs run the same build); "pexol-cli" when the
/// system does not say.
std::string ThisProgram();

}  // namespace pexol
