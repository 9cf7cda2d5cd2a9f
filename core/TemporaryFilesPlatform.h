// core/TemporaryFilesPlatform.h - the process and signal calls behind core/TemporaryFiles
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pexol::platform {

/// This process: its id and a number for its start that a later process of the same id has not.
struct ProcessStamp {
  std::uint64_t id = 0;
  std::uint64_t start = 0;
};
ProcessStamp ThisProcess();

/// True when the process `stamp` names has ended (its id is free or taken by a later process).
bool ProcessGone(const ProcessStamp& stamp);

/// The names (not paths) in `folder`; empty when it cannot be read.
std::vector<std::string> NamesIn(const std::string& folder);

/// Removes the file `path` (UTF-8); async-signal-safe on POSIX.
void RemoveNamed(const char* path);

/// Removes the folder `path` (UTF-8) with everything in it, or with `keepFolder` only what is
/// in it; async-signal-safe on Linux.
void RemoveTree(const char* path, bool keepFolder);

/// Ends the process groups `groups` (ids of their leaders, children of this process; 0 where a
/// slot is empty): SIGTERM, then SIGKILL to those not ended within `graceMs` (at once for 0),
/// and reaps the leaders. Async-signal-safe on POSIX; nothing on Windows, where no run starts
/// a child.
void EndChildGroups(const std::int64_t* groups, std::size_t count, long graceMs);

/// Writes `message` to standard error and ends the process with status 2 at once, without
/// running destructors or flushing streams; async-signal-safe on POSIX.
[[noreturn]] void ExitInterrupted(const char* message, std::size_t length);

/// Calls `handler` on SIGINT and SIGTERM, and makes a file-size limit fail the write (EFBIG)
/// instead of ending the process.
void InstallSignalHandlers(void (*handler)(int));

}  // namespace pexol::platform
