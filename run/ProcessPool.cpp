// run/ProcessPool.cpp - a loop over the children's pipes and ends that never blocks past a stop,
// and the grace a stopped child has before it is killed
#include "run/ProcessPool.h"

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <list>

#include "run/ChildProcess.h"

namespace pexol {

namespace {

using Clock = std::chrono::steady_clock;

/// How long the loop waits for a line or an end: short beside a job, so the pool keeps every
/// slot busy.
constexpr int pollMilliseconds = 2;
/// The most of one line held before it is passed on.
constexpr std::size_t maxLine = 1 << 20;
/// How long an ended child's pipe may stay open without a byte, and at all: only something the
/// child started and left running holds it then.
constexpr int drainMilliseconds = 200;
constexpr auto drainLimit = std::chrono::seconds(2);

struct Job {
  Job(std::size_t at, const std::vector<std::string>& arguments, bool piped)
      : index(at), child(arguments, piped) {}
  std::size_t index;
  ChildProcess child;
  std::string partial;  ///< the start of a line not yet ended
  bool killed = false;  ///< SIGKILL was sent to it
};

/// Reads what the job's pipe holds and passes on its whole lines; closes the pipe at its end.
/// True when it read anything.
bool ReadLines(Job& job, const PoolCalls& calls) {
  bool read = false;
  char buffer[4096];
  while (job.child.ErrorPipe() >= 0) {
    const ssize_t count = ::read(job.child.ErrorPipe(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return read;
    if (count <= 0) {
      job.child.CloseErrorPipe();
      if (!job.partial.empty()) calls.line(job.index, job.partial);
      job.partial.clear();
      return true;
    }
    read = true;
    job.partial.append(buffer, static_cast<std::size_t>(count));
    std::size_t start = 0;
    for (std::size_t end = job.partial.find('\n'); end != std::string::npos;
         end = job.partial.find('\n', start)) {
      calls.line(job.index, std::string_view(job.partial).substr(start, end - start));
      start = end + 1;
    }
    job.partial.erase(0, start);
    // A line that never ends is passed on in pieces rather than held whole.
    if (job.partial.size() > maxLine) {
      calls.line(job.index, job.partial);
      job.partial.clear();
    }
  }
  return read;
}

/// Everything an ended job wrote, which the pipe still holds: its last lines (a result) come
/// before its end.
void Drain(Job& job, const PoolCalls& calls) {
  const Clock::time_point limit = Clock::now() + drainLimit;
  while (job.child.ErrorPipe() >= 0) {
    pollfd pipe{job.child.ErrorPipe(), POLLIN, 0};
    if (::poll(&pipe, 1, drainMilliseconds) == 0 || Clock::now() > limit) {
      job.child.CloseErrorPipe();
      if (!job.partial.empty()) calls.line(job.index, job.partial);
      job.partial.clear();
      return;
    }
    ReadLines(job, calls);
  }
}

/// Waits up to `milliseconds` for any running job to write.
void AwaitOutput(const std::list<Job>& running, int milliseconds) {
  std::vector<pollfd> pipes;
  for (const Job& job : running)
    if (job.child.ErrorPipe() >= 0) pipes.push_back({job.child.ErrorPipe(), POLLIN, 0});
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
  // Jobs still here when a call throws are killed and reaped as the list goes.
  std::list<Job> running;
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
  bool killing = false;
  Clock::time_point stoppedAt;
  while (next < jobs.size() || !running.empty()) {
    if (!stopped && calls.stop()) {
      stopped = true;
      stoppedAt = Clock::now();
      for (Job& job : running) job.child.Signal(SIGTERM);
    }
    if (stopped && !killing && Clock::now() - stoppedAt >= calls.stopGrace) {
      killing = true;
      for (Job& job : running) {
        job.child.Signal(SIGKILL);
        job.killed = true;
      }
    }
    while (!stopped && next < jobs.size() && static_cast<int>(running.size()) < parallel) {
      Job& job = running.emplace_back(next, jobs[next], piped);
      ++next;
      if (job.child.Started()) continue;
      const ChildEnd notStarted{-1, 0, false, job.child.StartError(), false};
      const std::size_t index = job.index;
      running.pop_back();
      calls.finished(index, notStarted);
      tellAnyway = true;
    }
    tell();
    if (running.empty()) break;
    for (Job& job : running) ReadLines(job, calls);
    bool anyEnded = false;
    for (auto at = running.begin(); at != running.end();) {
      std::optional<ChildEnd> end = at->child.Ended();
      if (!end) {
        ++at;
        continue;
      }
      Drain(*at, calls);
      end->killed = at->killed && end->signal == SIGKILL;
      const std::size_t index = at->index;
      at = running.erase(at);
      calls.finished(index, *end);
      tellAnyway = true;
      anyEnded = true;
    }
    if (!anyEnded) AwaitOutput(running, pollMilliseconds);
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
