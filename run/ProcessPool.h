// run/ProcessPool.h - command lines run as child processes, a few at a time
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// How a child ended: its exit status, or the signal that ended it.
struct ChildEnd {
  int exitCode = -1;  ///< -1 when a signal ended it (or it could not be started)
  int signal = 0;
  bool started = true;
};

/// What the pool tells its caller; every call comes on the calling thread.
struct PoolCalls {
  /// Each job's end, with its index, once its last line was read.
  std::function<void(std::size_t, const ChildEnd&)> finished;
  /// Asked every few milliseconds: once it says so no job is started, and the running ones
  /// get SIGTERM and are waited for.
  std::function<bool()> stop;
  /// How many children run once they were started, again whenever that number changed or jobs
  /// ended (after their places were filled), and at the end.
  std::function<void(std::size_t)> running = {};
  /// Each line a job writes to its standard error, without its newline; without it, standard
  /// error is discarded with standard output.
  std::function<void(std::size_t, std::string_view)> line = {};
};

/// Runs every command line (program first, found by path) with at most `parallel` at once,
/// their standard input and output on /dev/null. Each child runs in a process group of its own,
/// so that the pool alone decides when it stops (a terminal's Ctrl-C reaches the pool's
/// process only), and ends with SIGTERM if the pool's process dies without stopping it. False
/// when it stopped.
bool RunInPool(const std::vector<std::vector<std::string>>& jobs, int parallel,
               const PoolCalls& calls);

/// The line as a POSIX shell reads it back, each argument quoted where it needs to be.
std::string ShellLine(const std::vector<std::string>& arguments);

/// The path of the running program (so that its jobs run the same build); "pexol-cli" when the
/// system does not say.
std::string ThisProgram();

}  // namespace pexol
