// run/ProcessPool.cpp - fork and exec, a loop over the children's pipes and ends that never
// blocks past a stop
#include "run/ProcessPool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <climits>
#include <map>
#include <optional>

namespace pexol {

namespace {

/// How long the loop waits for a line or an end: short beside a job, so the pool keeps every
/// slot busy.
constexpr int pollMilliseconds = 2;
/// The most of one line held before it is passed on.
constexpr std::size_t maxLine = 1 << 20;

struct Child {
  std::size_t index = 0;
  int errorPipe = -1;   ///< the read end of its standard error; -1 when discarded or at its end
  std::string partial;  ///< the start of a line not yet ended
};

/// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void BecomeJob(char* const* argv, int errorWrite, int execFailed, pid_t parent) {
  ::setpgid(0, 0);
#ifdef __linux__
  // A pool's process that dies without stopping its jobs (killed) still ends them.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) ::_exit(127);
#else
  (void)parent;
#endif
  // The pool's process may ignore or block these (a window does); its jobs take them as usual.
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(errorWrite >= 0 ? errorWrite : null, STDERR_FILENO);
  }
  ::execvp(argv[0], argv);
  const int error = errno;
  [[maybe_unused]] const ssize_t told = ::write(execFailed, &error, sizeof error);
  ::_exit(127);
}

/// The child's pid, with the read end of its standard error in `errorRead` when `piped`; -1
/// when it could not be started.
pid_t Start(const std::vector<std::string>& arguments, bool piped, int& errorRead) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int ends[2] = {-1, -1};
  if (piped && ::pipe2(ends, O_CLOEXEC) != 0) return -1;
  // Closed by a successful exec; the child writes its errno to it when the exec fails.
  int execEnds[2] = {-1, -1};
  if (::pipe2(execEnds, O_CLOEXEC) != 0) {
    for (const int end : ends)
      if (end >= 0) ::close(end);
    return -1;
  }
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child == 0) BecomeJob(argv.data(), ends[1], execEnds[1], parent);
  if (ends[1] >= 0) ::close(ends[1]);
  ::close(execEnds[1]);
  int error = 0;
  ssize_t told = 0;
  if (child >= 0)
    while ((told = ::read(execEnds[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
  ::close(execEnds[0]);
  if (child >= 0 && told > 0) {
    int ignored = 0;
    ::waitpid(child, &ignored, 0);
  }
  if (child < 0 || told > 0) {
    if (ends[0] >= 0) ::close(ends[0]);
    return -1;
  }
  // Also here, so that a stop sent at once reaches the group the child is about to form.
  ::setpgid(child, child);
  errorRead = ends[0];
  if (errorRead >= 0) ::fcntl(errorRead, F_SETFL, O_NONBLOCK);
  return child;
}

ChildEnd EndOf(int status) {
  if (WIFEXITED(status)) return {WEXITSTATUS(status), 0, true};
  return {-1, WIFSIGNALED(status) ? WTERMSIG(status) : 0, true};
}

/// Reads what the child's pipe holds and passes on its whole lines; closes the pipe at its end.
void ReadLines(Child& child, const PoolCalls& calls) {
  char buffer[4096];
  while (child.errorPipe >= 0) {
    const ssize_t count = ::read(child.errorPipe, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (count <= 0) {
      ::close(child.errorPipe);
      child.errorPipe = -1;
      if (!child.partial.empty()) calls.line(child.index, child.partial);
      child.partial.clear();
      return;
    }
    child.partial.append(buffer, static_cast<std::size_t>(count));
    std::size_t start = 0;
    for (std::size_t end = child.partial.find('\n'); end != std::string::npos;
         end = child.partial.find('\n', start)) {
      calls.line(child.index, std::string_view(child.partial).substr(start, end - start));
      start = end + 1;
    }
    child.partial.erase(0, start);
    // A line that never ends is passed on in pieces rather than held whole.
    if (child.partial.size() > maxLine) {
      calls.line(child.index, child.partial);
      child.partial.clear();
    }
  }
}

/// Waits up to `milliseconds` for any running child to write.
void AwaitOutput(std::map<pid_t, Child>& running, int milliseconds) {
  std::vector<pollfd> pipes;
  for (const auto& [pid, child] : running)
    if (child.errorPipe >= 0) pipes.push_back({child.errorPipe, POLLIN, 0});
  if (pipes.empty()) {
    const timespec pause{0, milliseconds * 1'000'000L};
    ::nanosleep(&pause, nullptr);
    return;
  }
  ::poll(pipes.data(), pipes.size(), milliseconds);
}

}  // namespace

bool RunInPool(const std::vector<std::vector<std::string>>& jobs, int parallel,
               const PoolCalls& calls) {
  if (parallel < 1) parallel = 1;
  const bool piped = static_cast<bool>(calls.line);
  std::map<pid_t, Child> running;
  // Told once a round, after the ended jobs were replaced: a count between the two would say
  // fewer run than do.
  bool tellAnyway = true;
  std::size_t told = 0;
  const auto tell = [&] {
    if (!calls.running || (!tellAnyway && running.size() == told)) return;
    told = running.size();
    tellAnyway = false;
    calls.running(told);
  };
  std::size_t next = 0;
  bool stopped = false;
  while (next < jobs.size() || !running.empty()) {
    if (!stopped && calls.stop()) {
      stopped = true;
      for (const auto& [pid, child] : running) ::kill(pid, SIGTERM);
    }
    while (!stopped && next < jobs.size() && static_cast<int>(running.size()) < parallel) {
      int errorRead = -1;
      const pid_t pid = Start(jobs[next], piped, errorRead);
      if (pid < 0) {
        calls.finished(next, {-1, 0, false});
        tellAnyway = true;
      } else {
        running.emplace(pid, Child{next, errorRead, {}});
      }
      ++next;
    }
    tell();
    if (running.empty()) break;
    for (auto& [pid, child] : running) ReadLines(child, calls);
    // Only this pool's own children: another pool on another thread (the window reads its
    // media's facts and posters side by side) and the window's own child processes keep theirs.
    auto at = running.begin();
    std::optional<ChildEnd> end;
    for (; at != running.end(); ++at) {
      int status = 0;
      const pid_t result = ::waitpid(at->first, &status, WNOHANG);
      if (result == at->first) end = EndOf(status);
      // Reaped by someone else: how it ended is not known.
      if (result < 0 && errno == ECHILD) end = ChildEnd{-1, 0, true};
      if (end) break;
    }
    if (end) {
      Child child = std::move(at->second);
      running.erase(at);
      // Its last lines (a result) come before its end; only a grandchild holding the pipe
      // would keep it open, and none of our jobs leaves one.
      if (child.errorPipe >= 0) ::fcntl(child.errorPipe, F_SETFL, 0);
      ReadLines(child, calls);
      calls.finished(child.index, *end);
      tellAnyway = true;
      continue;
    }
    AwaitOutput(running, pollMilliseconds);
  }
  tell();
  return !stopped;
}

std::string ShellLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    const bool plain =
        !argument.empty() && argument.find_first_not_of(
                                 "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                 "-_./=:,+@%") == std::string::npos;
    if (plain) {
      line += argument;
      continue;
    }
    line += '\'';
    for (const char c : argument) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

std::string ThisProgram() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "pexol-cli";
  return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace pexol
