// run/ChildProcess.cpp - fork and exec with nothing of this process passed on but what the child
// is given, and waitid by the child's id
#include "run/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <cstdlib>

#include "core/TemporaryFiles.h"

namespace pexol {

namespace {

/// Closes a descriptor when it goes, unless released.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

/// The file the program names: itself when it holds a slash, else the first executable file
/// of that name in PATH (as execvp finds it, but here, before the fork, where the lookup may
/// allocate). Empty, with `error` set, when there is none.
std::string ProgramPath(const std::string& program, int& error) {
  error = ENOENT;
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return program;
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (errno == EACCES) error = EACCES;
    start = end + 1;
  }
  return {};
}

/// In the child: tells the parent the errno of the step that failed, and ends.
[[noreturn]] void FailJob(int execFailed) {
  const int error = errno;
  [[maybe_unused]] const ssize_t told = ::write(execFailed, &error, sizeof error);
  ::_exit(127);
}

/// In the child, between fork and exec: only async-signal-safe calls. The failure of any step
/// is written to `execFailed` as the errno it gave.
[[noreturn]] void BecomeJob(const char* path, char* const* argv, int null, int errorWrite,
                            int execFailed, pid_t parent) {
  ::setpgid(0, 0);
#ifdef __linux__
  // A parent that dies without stopping its jobs (killed) still ends them.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) ::_exit(127);
#else
  (void)parent;
#endif
  // Every signal is blocked since the fork. A handler of the parent's must not run here, and
  // a stop sent to the parent's group before this one was formed is the parent's to act on:
  // ignoring a signal drops it. The job takes SIGINT and SIGTERM as usual even where the
  // parent ignores them (a window does, and a shell's background job).
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0) continue;
    if (signal == SIGINT || signal == SIGTERM) {
      ::sigaction(signal, &ignore, nullptr);
      ::sigaction(signal, &byDefault, nullptr);
    } else if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) {
      ::sigaction(signal, &byDefault, nullptr);
    }
  }
  // Moved above the standard three first: a parent with one of them closed has pipes there.
  const int keptNull = ::fcntl(null, F_DUPFD, 10);
  const int keptError = errorWrite >= 0 ? ::fcntl(errorWrite, F_DUPFD, 10) : keptNull;
  const int keptFailed = ::fcntl(execFailed, F_DUPFD_CLOEXEC, 10);
  if (keptFailed < 0) ::_exit(127);
  execFailed = keptFailed;
  if (keptNull < 0 || keptError < 0 || ::dup2(keptNull, STDIN_FILENO) < 0 ||
      ::dup2(keptNull, STDOUT_FILENO) < 0 || ::dup2(keptError, STDERR_FILENO) < 0)
    FailJob(execFailed);
#ifdef __linux__
  // Nothing else of this process reaches the job: a descriptor another thread opened without
  // close-on-exec (a lock, a pipe of another pool) would live as long as the job.
  ::close_range(3, static_cast<unsigned>(keptFailed) - 1, 0);
  ::close_range(static_cast<unsigned>(keptFailed) + 1, ~0U, 0);
#endif
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execv(path, argv);
  FailJob(execFailed);
}

ChildEnd EndOf(const siginfo_t& info) {
  if (info.si_code == CLD_EXITED) return {info.si_status, 0, true, 0, false};
  return {-1, info.si_status, true, 0, false};
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, bool readErrors) {
  if (arguments.empty()) {
    startError_ = ENOENT;
    return;
  }
  const std::string path = ProgramPath(arguments.front(), startError_);
  if (path.empty()) return;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  Descriptor null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  int ends[2] = {-1, -1};
  if (null.Get() < 0 || (readErrors && ::pipe2(ends, O_CLOEXEC) != 0)) {
    startError_ = errno;
    return;
  }
  Descriptor errorRead(ends[0]), errorWrite(ends[1]);
  // Closed by a successful exec; the child writes its errno to it when the exec fails.
  int execEnds[2] = {-1, -1};
  if (::pipe2(execEnds, O_CLOEXEC) != 0) {
    startError_ = errno;
    return;
  }
  Descriptor execRead(execEnds[0]), execWrite(execEnds[1]);

  // No signal is taken between the fork and the exec; the parent's mask comes back at once.
  sigset_t all, previous;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child == 0)
    BecomeJob(path.c_str(), argv.data(), null.Get(), errorWrite.Get(), execWrite.Get(), parent);
  const int forkError = errno;
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (child < 0) {
    startError_ = forkError;
    return;
  }
  // Also here, so that a stop sent at once reaches the group the child is about to form.
  ::setpgid(child, child);
  pid_ = child;
  registration_ = RegisterChildGroup(child);
  errorWrite.Reset();
  execWrite.Reset();
  int error = 0;
  ssize_t told = 0;
  while ((told = ::read(execRead.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
  }
  if (told > 0) {
    Forget();
    int ignored = 0;
    while (::waitpid(child, &ignored, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    startError_ = error != 0 ? error : ENOEXEC;
    return;
  }
  started_ = true;
  if (errorRead.Get() >= 0) {
    ::fcntl(errorRead.Get(), F_SETFL, O_NONBLOCK);
    errorRead_ = errorRead.Release();
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    Signal(SIGKILL);
    Forget();
    int ignored = 0;
    while (::waitpid(pid_, &ignored, 0) < 0 && errno == EINTR) {
    }
  }
  CloseErrorPipe();
}

void ChildProcess::CloseErrorPipe() {
  if (errorRead_ >= 0) ::close(errorRead_);
  errorRead_ = -1;
}

void ChildProcess::Signal(int signal) {
  if (pid_ <= 0) return;
  // The group, so that what the child started in it ends too; the child alone if it has not
  // formed the group yet.
  if (::kill(-pid_, signal) != 0) ::kill(pid_, signal);
}

std::optional<ChildEnd> ChildProcess::Ended() {
  if (pid_ <= 0) return std::nullopt;
  siginfo_t info{};
  // Seen without being reaped, so that its id, and its group's, stay its own until it is no
  // longer noted for a run's end to signal.
  if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
    if (errno == EINTR) return std::nullopt;
    // Reaped by a run's end on another thread, which ends the process.
    Forget();
    pid_ = -1;
    return ChildEnd{};
  }
  if (info.si_pid == 0) return std::nullopt;
  Forget();
  int ignored = 0;
  while (::waitpid(pid_, &ignored, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return EndOf(info);
}

void ChildProcess::Forget() {
  ForgetChildGroup(registration_);
  registration_ = -1;
}

}  // namespace pexol
