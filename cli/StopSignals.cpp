// cli/StopSignals.cpp - the first signal sets a flag; the second goes to the handler before it
#include "cli/StopSignals.h"

#include <signal.h>

#include <atomic>
#include <csignal>

namespace pexol::cli {

namespace {

std::atomic<bool> stopAsked{false};

#ifndef _WIN32
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

void AskToStop(int signal) {
  if (!stopAsked.exchange(true)) return;
  const struct sigaction& previous = signal == SIGINT ? previousInterrupt : previousTerminate;
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
      previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
    return;
  }
  ::sigaction(signal, &previous, nullptr);
  ::raise(signal);
}

bool Install(int signal, const struct sigaction& ask, struct sigaction& previous) {
  if (::sigaction(signal, nullptr, &previous) != 0) return false;
  // A shell starts background jobs with SIGINT ignored; they stay deaf to it.
  if (previous.sa_handler == SIG_IGN) return true;
  return ::sigaction(signal, &ask, nullptr) == 0;
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

StopOnSignals::StopOnSignals() {
  stopAsked = false;
#ifndef _WIN32
  struct sigaction ask {};
  ask.sa_handler = AskToStop;
  ::sigemptyset(&ask.sa_mask);
  if (Install(SIGINT, ask, previousInterrupt)) Install(SIGTERM, ask, previousTerminate);
#else
  previousInterrupt = std::signal(SIGINT, AskToStop);
  previousTerminate = std::signal(SIGTERM, AskToStop);
#endif
}

StopOnSignals::~StopOnSignals() {
#ifndef _WIN32
  ::sigaction(SIGINT, &previousInterrupt, nullptr);
  ::sigaction(SIGTERM, &previousTerminate, nullptr);
#else
  std::signal(SIGINT, previousInterrupt);
  std::signal(SIGTERM, previousTerminate);
#endif
}

bool StopAsked() {
  return stopAsked.load();
}

}  // namespace pexol::cli
