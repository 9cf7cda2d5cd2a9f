// core/TemporaryFiles.h - temporary files that an interrupted or killed run does not leave behind
#pragma once

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

/// Notes `path` as a temporary file of this process, removed if the run is interrupted; the
/// note is dropped again by `ForgetTemporary` with the number returned (-1 when there was no
/// room, when a later run's cleanup is all that removes it).
int RegisterTemporary(const std::string& path);
void ForgetTemporary(int registration);

/// Removes every registered temporary file, says on standard error that the run was
/// interrupted and ends the process with status 2, at once: what SIGINT and SIGTERM do, for a
/// run that asked to stop by itself first and did not (a library call that does not return).
/// Async-signal-safe on POSIX.
[[noreturn]] void EndInterruptedRun();
/// The same for a run that has already said it was stopped: the temporary files go and the
/// process ends with status 2, with no message of its own.
[[noreturn]] void EndStoppedRun();

/// Sets up, once at the start of a program, what ends a run cleanly: a size limit on files
/// makes the write fail (EFBIG) instead of killing the process, and SIGINT or SIGTERM removes
/// every registered temporary file and ends the process with status 2.
void InstallRunSignals();

}  // namespace pexol
