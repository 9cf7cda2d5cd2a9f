// core/TemporaryFiles.h - temporary files, folders and child processes that an interrupted or
// killed run does not leave behind
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace pexol {

/// A short hidden name in the folder of `destination` for a file written before it takes the
/// destination's place: ".pexol-PID-START-N.tmp", where PID and START name this process (its id
/// and start time) and N counts its temporary files. Short, so that a destination of any legal
/// length has one; stamped, so that a later run can tell its own debris from a live run's.
std::string TemporaryPathFor(const std::string& destination);

/// Removes, from the folder of `destination`, the temporary files of runs whose process is
/// gone (killed, or the machine stopped); those of live runs are left alone.
void RemoveStaleTemporaries(const std::string& destination);
/// The same beside `destination` and in the system's temporary folder: what a child process
/// killed for not stopping in time left there, since it removed nothing itself.
void RemoveStaleTemporariesOfChildren(const std::string& destination);

/// Notes `path` as a temporary file of this process, removed if the run is interrupted; the
/// note is dropped again by `ForgetTemporary` with the number returned (-1 when there was no
/// room, when a later run's cleanup is all that removes it).
int RegisterTemporary(const std::string& path);
/// The same for a folder, removed with everything in it; with `keepFolder` only what is in it
/// goes, for a folder that was there, empty, before the run.
int RegisterTemporaryFolder(const std::string& path, bool keepFolder = false);
void ForgetTemporary(int registration);

/// Notes a child process that leads a process group of its own, so that a run ended by a signal
/// ends the group before it goes; dropped by `ForgetChildGroup` before the child is reaped, so
/// that its id is never signalled once another process may have it.
int RegisterChildGroup(std::int64_t group);
void ForgetChildGroup(int registration);

/// While one lives, the run is putting its results in place (renaming them over their
/// destinations); false when the run is already being ended, and then nothing may be placed. A
/// watchdog that ends a run which did not stop in time waits for the placing to end, so that a
/// run never says it was stopped while a destination was being replaced.
class PlacingResults {
 public:
  PlacingResults();
  ~PlacingResults();
  PlacingResults(const PlacingResults&) = delete;
  PlacingResults& operator=(const PlacingResults&) = delete;
  explicit operator bool() const { return allowed_; }

 private:
  bool allowed_ = false;
};

/// For a watchdog: false while results are being placed; otherwise true, and from then on no
/// result is placed (`PlacingResults` is false), so the run may be ended.
bool BeginEndingRun();

/// Ends the registered child groups (SIGTERM, and SIGKILL to those still there after `grace`;
/// SIGKILL at once with none) and removes every registered temporary file and folder; from then
/// on no result is placed. The children first: one still running could write into a folder
/// while it is removed. Async-signal-safe on POSIX.
void EndChildrenAndTemporaries(std::chrono::milliseconds grace);

/// `EndChildrenAndTemporaries` with no grace, then says on standard error that the run was
/// interrupted and ends the process with status 2, at once: what a second SIGINT or SIGTERM
/// does, and what the first does for a run that did not ask to stop by itself.
/// Async-signal-safe on POSIX.
[[noreturn]] void EndInterruptedRun();
/// The same for a run that has already said it was stopped, with no message of its own.
[[noreturn]] void EndStoppedRun();

/// Sets up, once at the start of a program, what ends a run cleanly: a size limit on files
/// makes the write fail (EFBIG) instead of killing the process, and SIGINT or SIGTERM ends the
/// registered children and removes every registered temporary file and folder and ends the
/// process with status 2.
void InstallRunSignals();

}  // namespace pexol
