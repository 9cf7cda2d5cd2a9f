// run/ProcessPool.h - the one place that starts child processes: command lines run a few at a
// time, their standard error read line by line, stopped with SIGTERM and then SIGKILL
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// How a child ended: its exit status, or the signal that ended it, or why it never ran.
struct ChildEnd {
  int exitCode = -1;  ///< -1 when a signal ended it (or it could not be started)
  int signal = 0;
  bool started = true;
  int startError = 0;  ///< when not started: the system's error number (ENOENT, EACCES...)
  /// It was asked to stop (SIGTERM) and was still there after the grace, so SIGKILL ended it:
  /// it removed none of its own temporary files.
  bool killed = false;
};

/// What the pool tells its caller; every call comes on the calling thread.
struct PoolCalls {
  /// Each job's end, with its index, once its last line was read.
  std::function<void(std::size_t, const ChildEnd&)> finished;
  /// Asked every few milliseconds: once it says so no job is started, the running ones get
  /// SIGTERM, and those still running `stopGrace` later get SIGKILL.
  std::function<bool()> stop;
  /// How many children run once they were started, again whenever that number changed or jobs
  /// ended (after their places were filled), and at the end.
  std::function<void(std::size_t)> running = {};
  /// Each line a job writes to its standard error, without its newline; without it, standard
  /// error is discarded with standard output.
  std::function<void(std::size_t, std::string_view)> line = {};
  /// How long a child asked to stop may take to end (removing its files) before it is killed.
  std::chrono::milliseconds stopGrace = std::chrono::seconds(3);
};

/// Runs every command line (the program first: a path, or a name looked up in PATH) with at
/// most `parallel` at once, their standard input and output on /dev/null and no other file of
/// this process open in them. Each child leads a process group of its own, so that the pool
/// alone decides when it stops (a terminal's Ctrl-C reaches this process only), and the group
/// gets the stop; the pool waits for its own children only, by their ids, so that other
/// children of the process keep their exit status and two pools may run at once on two
/// threads. A child still running when a run ends by a signal is ended with it
/// (`RegisterChildGroup`); on Linux a child also gets SIGTERM when the thread that started it
/// dies without stopping it (killed), which other systems do not offer. POSIX only: the Windows
/// build starts no process. False when it stopped.
bool RunInPool(const std::vector<std::vector<std::string>>& jobs, int parallel,
               const PoolCalls& calls);

/// The line as a POSIX shell reads it back, each argument quoted where it needs to be.
std::string ShellLine(const std::vector<std::string>& arguments);

/// The path of the running program (so that its jobs run the same build); "pexol-cli" when the
/// system does not say.
std::string ThisProgram();

}  // namespace pexol
