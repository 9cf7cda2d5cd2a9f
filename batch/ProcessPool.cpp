// batch/ProcessPool.cpp - posix_spawn and a reaping loop that never blocks past a stop
#include "batch/ProcessPool.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>

extern char** environ;

namespace pexol {

namespace {

/// How long the loop sleeps when no child has ended: short beside a job, so the pool keeps
/// every slot busy.
constexpr long pollNanoseconds = 2'000'000;

pid_t Spawn(const std::vector<std::string>& arguments) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? child : -1;
}

ChildEnd EndOf(int status) {
  if (WIFEXITED(status)) return {WEXITSTATUS(status), 0, true};
  return {-1, WIFSIGNALED(status) ? WTERMSIG(status) : 0, true};
}

}  // namespace

bool RunInPool(const std::vector<std::vector<std::string>>& jobs, int parallel,
               const std::function<void(std::size_t, const ChildEnd&)>& finished,
               const std::function<bool()>& stop,
               const std::function<void(std::size_t)>& runningCount) {
  if (parallel < 1) parallel = 1;
  std::map<pid_t, std::size_t> running;
  // Told once a round, after the ended jobs were replaced: a count between the two would say
  // fewer run than do.
  bool tellAnyway = true;
  std::size_t told = 0;
  const auto tell = [&] {
    if (!runningCount || (!tellAnyway && running.size() == told)) return;
    told = running.size();
    tellAnyway = false;
    runningCount(told);
  };
  std::size_t next = 0;
  bool stopped = false;
  while (next < jobs.size() || !running.empty()) {
    if (!stopped && stop()) {
      stopped = true;
      for (const auto& [child, index] : running) ::kill(child, SIGTERM);
    }
    while (!stopped && next < jobs.size() && static_cast<int>(running.size()) < parallel) {
      const pid_t child = Spawn(jobs[next]);
      if (child < 0) {
        finished(next, {-1, 0, false});
        tellAnyway = true;
      } else {
        running.emplace(child, next);
      }
      ++next;
    }
    tell();
    if (running.empty()) break;
    int status = 0;
    const pid_t ended = ::waitpid(-1, &status, WNOHANG);
    if (ended > 0) {
      const auto at = running.find(ended);
      if (at != running.end()) {
        const std::size_t index = at->second;
        running.erase(at);
        finished(index, EndOf(status));
        tellAnyway = true;
      }
      continue;
    }
    if (ended < 0 && errno == ECHILD) break;
    const timespec pause{0, pollNanoseconds};
    ::nanosleep(&pause, nullptr);
  }
  tell();
  return !stopped;
}

std::string ThisProgram() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "pexol-cli";
  return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace pexol
