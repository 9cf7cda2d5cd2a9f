// cli/StopSignals.cpp - the first signal sets a flag; the second goes to the handler before it
#include "cli/StopSignals.h"

#include <signal.h>

#include <atomic>
#include <csignal>

#ifndef _WIN32
#include <semaphore.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/TemporaryFiles.h"
#endif

namespace pexol::cli {

namespace {

std::atomic<bool> stopAsked{false};

#ifndef _WIN32
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};
// Posted by the first signal (sem_post may be called in a handler) to wake the watchdog.
sem_t signalled;

void AskToStop(int signal) {
  if (!stopAsked.exchange(true)) {
    ::sem_post(&signalled);
    return;
  }
  const struct sigaction& previous = signal == SIGINT ? previousInterrupt : previousTerminate;
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
      previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
    return;
  }
  ::sigaction(signal, &previous, nullptr);
  ::raise(signal);
}

std::atomic<bool> signalAfterTheRun{false};

// Once the run has ended, a signal does not change how it ended, which it is about to say (or
// has said); a second one ends the process as before, should what is left never end (a report
// written to a pipe that nothing reads).
void AfterTheRun(int signal) {
  if (!signalAfterTheRun.exchange(true)) return;
  ::sigaction(signal, signal == SIGINT ? &previousInterrupt : &previousTerminate, nullptr);
  ::raise(signal);
}

bool Install(int signal, const struct sigaction& ask, struct sigaction& previous) {
  struct sigaction current {};
  if (::sigaction(signal, nullptr, &current) != 0) return false;
  // After an earlier run in this process, the handler before it stays the one to go back to.
  if (current.sa_handler != AfterTheRun) previous = current;
  // A shell starts background jobs with SIGINT ignored; they stay deaf to it.
  if (previous.sa_handler == SIG_IGN) return true;
  return ::sigaction(signal, &ask, nullptr) == 0;
}

void LeaveAfterTheRun(int signal, const struct sigaction& previous) {
  if (previous.sa_handler == SIG_IGN) return;
  struct sigaction after {};
  after.sa_handler = AfterTheRun;
  ::sigemptyset(&after.sa_mask);
  ::sigaction(signal, &after, nullptr);
}

// A run that has not ended soon after the first signal (stuck in a loader that never comes
// back to its loop) is ended as a second signal would end it, its children given this long to
// end themselves first.
constexpr std::chrono::seconds childrenGrace{2};
std::chrono::milliseconds grace{600};
std::function<void()> reportStop;
std::mutex endedMutex;
std::condition_variable endedChanged;
bool ended = false;
std::thread watchdog;

void Watch() {
  while (::sem_wait(&signalled) != 0 && errno == EINTR) {
  }
  std::unique_lock<std::mutex> lock(endedMutex);
  // A run putting its results in place is let finish, and given the grace again: it reports
  // what it placed.
  do {
    if (endedChanged.wait_for(lock, grace, [] { return ended; })) return;
  } while (!BeginEndingRun());
  // The lock stays held: a run that ends meanwhile waits in ~StopOnSignals and reports nothing.
  // What it leaves is gone before the stop is reported.
  EndChildrenAndTemporaries(childrenGrace);
  if (!reportStop) EndInterruptedRun();
  reportStop();
  EndStoppedRun();
}
#else
using Handler = void (*)(int);
Handler previousInterrupt = SIG_DFL;
Handler previousTerminate = SIG_DFL;

// Windows runs it on a thread of its own and resets the handler before the call.
void AskToStop(int signal) {
  if (!stopAsked.exchange(true)) {
    std::signal(signal, AskToStop);
    return;
  }
  const Handler previous = signal == SIGINT ? previousInterrupt : previousTerminate;
  if (previous != SIG_DFL && previous != SIG_IGN && previous != nullptr) previous(signal);
}
#endif

}  // namespace

StopOnSignals::StopOnSignals(std::chrono::milliseconds graceGiven, std::function<void()> stopped) {
  stopAsked = false;
#ifndef _WIN32
  signalAfterTheRun = false;
  grace = graceGiven;
  reportStop = std::move(stopped);
  ::sem_init(&signalled, 0, 0);
  ended = false;
  watchdog = std::thread(Watch);
  struct sigaction ask {};
  ask.sa_handler = AskToStop;
  ::sigemptyset(&ask.sa_mask);
  if (Install(SIGINT, ask, previousInterrupt)) Install(SIGTERM, ask, previousTerminate);
#else
  (void)graceGiven;
  (void)stopped;
  previousInterrupt = std::signal(SIGINT, AskToStop);
  previousTerminate = std::signal(SIGTERM, AskToStop);
#endif
}

StopOnSignals::~StopOnSignals() {
#ifndef _WIN32
  LeaveAfterTheRun(SIGINT, previousInterrupt);
  LeaveAfterTheRun(SIGTERM, previousTerminate);
  {
    const std::lock_guard<std::mutex> lock(endedMutex);
    ended = true;
  }
  endedChanged.notify_one();
  ::sem_post(&signalled);
  watchdog.join();
  ::sem_destroy(&signalled);
  reportStop = nullptr;
#else
  std::signal(SIGINT, previousInterrupt);
  std::signal(SIGTERM, previousTerminate);
#endif
}

bool StopAsked() {
  return stopAsked.load();
}

}  // namespace pexol::cli
