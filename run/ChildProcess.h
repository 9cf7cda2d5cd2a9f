// run/ChildProcess.h - one child process, started in a process group of its own, signalled and
// waited for by its id alone
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "run/ProcessPool.h"

namespace pexol {

/// A child started from a command line (the program first), its standard input and output on
/// /dev/null, its standard error on a pipe this process reads or on /dev/null. POSIX only.
/// Whatever way the object goes, no child outlives it: one still running is killed (its whole
/// group) and reaped.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& arguments, bool readErrors);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_; }
  /// Why it did not start: the system's error number.
  int StartError() const { return startError_; }
  /// The read end of its standard error, non-blocking; -1 once closed or when discarded.
  int ErrorPipe() const { return errorRead_; }
  void CloseErrorPipe();

  /// Sends `signal` to its process group, until it was reaped.
  void Signal(int signal);
  /// Its end, once it has ended (it is then reaped); nullopt while it runs.
  std::optional<ChildEnd> Ended();

 private:
  void Forget();

  pid_t pid_ = -1;  ///< -1 once reaped, or when it never started
  bool started_ = false;
  int startError_ = 0;
  int errorRead_ = -1;
  int registration_ = -1;  ///< its note as a child group that a run ended by a signal ends
};

}  // namespace pexol
