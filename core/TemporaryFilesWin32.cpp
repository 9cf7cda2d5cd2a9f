// core/TemporaryFilesWin32.cpp - process stamps from the process times, Ctrl-C by signal()
#include <io.h>
#include <stdlib.h>
#include <windows.h>

#include <csignal>
#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TemporaryFilesPlatform.h"

namespace pexol::platform {

namespace {

std::uint64_t CreationOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

ProcessStamp ThisProcess() {
  return {GetCurrentProcessId(), CreationOf(GetCurrentProcess())};
}

bool ProcessGone(const ProcessStamp& stamp) {
  const HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(stamp.id));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such id
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  const std::uint64_t start = CreationOf(process);
  CloseHandle(process);
  return !running || (start != 0 && start != stamp.start);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code code;
  for (std::filesystem::directory_iterator entry(PathOf(folder), code), end; !code && entry != end;
       entry.increment(code))
    names.push_back(Utf8Of(entry->path().filename()));
  return names;
}

// Windows runs the handler on a thread of its own, where these calls are allowed.
void RemoveNamed(const char* path) {
  DeleteFileW(WideOf(path).c_str());
}

void RemoveTree(const char* path, bool keepFolder) {
  std::error_code ignored;
  const std::filesystem::path folder = PathOf(path);
  if (!keepFolder) {
    std::filesystem::remove_all(folder, ignored);
    return;
  }
  for (std::filesystem::directory_iterator entry(folder, ignored), end; !ignored && entry != end;
       entry.increment(ignored))
    std::filesystem::remove_all(entry->path(), ignored);
}

void EndChildGroups(const std::int64_t*, std::size_t, long) {}

void ExitInterrupted(const char* message, std::size_t length) {
  _write(2, message, static_cast<unsigned>(length));
  _exit(2);
}

// Windows has no signal for a file-size limit.
void InstallSignalHandlers(void (*handler)(int)) {
  std::signal(SIGINT, handler);
  std::signal(SIGTERM, handler);
}

}  // namespace pexol::platform
