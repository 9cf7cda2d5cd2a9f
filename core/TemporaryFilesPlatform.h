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

/// Writes `message` to standard error and ends the process with status 2 at once, without
/// running destructors or flushing streams; async-signal-safe on POSIX.
[[noreturn]] void ExitInterrupted(const char* message, std::size_t length);

/// Calls `handler` on SIGINT and SIGTERM, and makes a file-size limit fail the write (EFBIG)
/// instead of ending the process.
void InstallSignalHandlers(void (*handler)(int));

}  // namespace pexol::platform
