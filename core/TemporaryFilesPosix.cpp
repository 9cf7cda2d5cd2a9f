// core/TemporaryFilesPosix.cpp - process stamps from /proc, signals by sigaction
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/TemporaryFilesPlatform.h"

namespace pexol::platform {

namespace {

// The start time in clock ticks since boot (field 22 of /proc/PID/stat); 0 where there is no
// /proc, when a process is told by its id alone.
std::uint64_t StartOf(std::uint64_t id) {
  std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  // The command name (field 2) may hold spaces and parentheses; the fields after it do not.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 1));
  std::string field;
  for (int number = 3; number <= 22 && fields >> field; ++number)
    if (number == 22) return std::strtoull(field.c_str(), nullptr, 10);
  return 0;
}

}  // namespace

ProcessStamp ThisProcess() {
  const auto id = static_cast<std::uint64_t>(::getpid());
  return {id, StartOf(id)};
}

bool ProcessGone(const ProcessStamp& stamp) {
  const auto id = static_cast<pid_t>(stamp.id);
  if (id <= 0 || static_cast<std::uint64_t>(id) != stamp.id) return false;  // not a name of ours
  if (::kill(id, 0) != 0 && errno == ESRCH) return true;
  const std::uint64_t start = StartOf(stamp.id);
  return start != 0 && start != stamp.start;
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
  return names;
}

void RemoveNamed(const char* path) {
  ::unlink(path);
}

void ExitInterrupted(const char* message, std::size_t length) {
  if (::write(STDERR_FILENO, message, length) < 0) {
  }
  ::_exit(2);
}

void InstallSignalHandlers(void (*handler)(int)) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, nullptr);
  struct sigaction stop {};
  stop.sa_handler = handler;
  ::sigemptyset(&stop.sa_mask);
  // One handler at a time: a second Ctrl-C while the files are removed waits for it.
  ::sigaddset(&stop.sa_mask, SIGINT);
  ::sigaddset(&stop.sa_mask, SIGTERM);
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction old {};
    // A shell starts background jobs with SIGINT ignored; they stay deaf to it.
    if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &stop, nullptr);
  }
}

}  // namespace pexol::platform
