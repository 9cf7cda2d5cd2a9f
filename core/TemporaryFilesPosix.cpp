// core/TemporaryFilesPosix.cpp - process stamps from /proc, signals by sigaction, folders removed
// and child groups ended with system calls alone
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
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

/// Deeper folders are left: a temporary folder of ours holds a project's media folders, never
/// this many.
constexpr int maxDepth = 64;

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Calls `each(name, isFolder)` for every entry of the open folder `folder` but "." and "..",
// from its start; false when it cannot be read.
template <class Each>
bool ForEachEntry(int folder, Each&& each) {
  if (::lseek(folder, 0, SEEK_SET) != 0) return false;
#ifdef __linux__
  // getdents64 rather than readdir, which may allocate: this runs in a signal handler.
  alignas(8) char buffer[2048];
  for (ssize_t count; (count = ::getdents64(folder, buffer, sizeof buffer)) > 0;)
    for (ssize_t at = 0; at < count;) {
      const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
      at += entry->d_reclen;
      if (!IsDots(entry->d_name)) each(entry->d_name, entry->d_type == DT_DIR);
    }
#else
  const int copy = ::dup(folder);
  DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
  if (dir == nullptr) return false;
  while (const dirent* entry = ::readdir(dir))
    if (!IsDots(entry->d_name)) each(entry->d_name, entry->d_type == DT_DIR);
  ::closedir(dir);
#endif
  return true;
}

void RemoveFolderAt(int parent, const char* name, int depth);

// Everything in the open folder `folder`, read again from its start until a reading finds
// nothing: removing entries while reading may make a reading skip some.
void RemoveContents(int folder, int depth) {
  for (int pass = 0; pass < 16; ++pass) {
    bool found = false;
    const bool read = ForEachEntry(folder, [&](const char* name, bool isFolder) {
      found = true;
      if (isFolder || (::unlinkat(folder, name, 0) != 0 && errno == EISDIR))
        RemoveFolderAt(folder, name, depth + 1);
    });
    if (!read || !found) return;
  }
}

void RemoveFolderAt(int parent, const char* name, int depth) {
  if (depth > maxDepth) return;
  const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) {
    ::unlinkat(parent, name, 0);  // a link to a folder is removed, not followed
    return;
  }
  RemoveContents(folder, depth);
  ::close(folder);
  ::unlinkat(parent, name, AT_REMOVEDIR);
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

void RemoveTree(const char* path, bool keepFolder) {
  if (keepFolder) {
    const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return;
    RemoveContents(folder, 0);
    ::close(folder);
    return;
  }
  RemoveFolderAt(AT_FDCWD, path, 0);
}

void EndChildGroups(const std::int64_t* groups, std::size_t count, long graceMs) {
  std::array<pid_t, 64> left{};
  std::size_t leftCount = 0;
  for (std::size_t i = 0; i < count && leftCount < left.size(); ++i)
    if (groups[i] > 0) left[leftCount++] = static_cast<pid_t>(groups[i]);
  for (std::size_t i = 0; i < leftCount; ++i) ::kill(-left[i], graceMs > 0 ? SIGTERM : SIGKILL);
  // Each leader reaped as it ends; a group whose leader is still there after the grace is
  // killed.
  const timespec pause{0, 10'000'000L};
  for (long waited = 0; waited < graceMs && leftCount > 0; waited += 10) {
    for (std::size_t i = 0; i < leftCount;) {
      int status = 0;
      const pid_t ended = ::waitpid(left[i], &status, WNOHANG);
      if (ended == left[i] || (ended < 0 && errno != EINTR))
        left[i] = left[--leftCount];
      else
        ++i;
    }
    if (leftCount > 0) ::nanosleep(&pause, nullptr);
  }
  for (std::size_t i = 0; i < leftCount; ++i) {
    ::kill(-left[i], SIGKILL);
    int status = 0;
    while (::waitpid(left[i], &status, 0) < 0 && errno == EINTR) {
    }
  }
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
