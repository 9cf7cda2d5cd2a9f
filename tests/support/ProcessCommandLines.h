// tests/support/ProcessCommandLines.h - the command lines of the machine's processes, read while
// any of them may end
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace pexol::test {

/// The command line of the process `/proc/PID` (its arguments joined by NUL bytes); empty once
/// it has gone, which a stream would throw on.
inline std::string CommandLineOf(const std::filesystem::path& process) {
  const int file = ::open((process / "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return {};
  std::string line;
  char buffer[4096];
  for (ssize_t count; (count = ::read(file, buffer, sizeof buffer)) > 0;)
    line.append(buffer, static_cast<std::size_t>(count));
  ::close(file);
  return line;
}

/// Every process of the machine but this one, with its command line.
inline std::vector<std::pair<std::filesystem::path, std::string>> OtherProcesses() {
  std::vector<std::pair<std::filesystem::path, std::string>> processes;
  const std::string self = std::to_string(::getpid());
  std::error_code code;
  for (std::filesystem::directory_iterator entry("/proc", code), end; !code && entry != end;
       entry.increment(code)) {
    const std::string name = entry->path().filename().string();
    if (name == self || name.find_first_not_of("0123456789") != std::string::npos) continue;
    processes.emplace_back(entry->path(), CommandLineOf(entry->path()));
  }
  return processes;
}

}  // namespace pexol::test
