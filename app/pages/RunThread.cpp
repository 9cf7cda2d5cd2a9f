// app/pages/RunThread.cpp - a job's thread and the one catch around every job the window runs
#include "app/pages/RunThread.h"

#include <exception>
#include <new>

#include "core/Translation.h"

namespace pexol::pages {

namespace {

RunResult FailedOn(std::string_view file, std::string_view reason) {
  return RunResult::Failed(file.empty() ? Say("The run failed\n\n{0}", reason)
                                        : Say("The run failed\n\n{0}\n{1}", file, reason));
}

}  // namespace

RunResult RunCaught(const Driver& driver, RunObserver& observer, std::string_view file) {
  // The drivers catch what they expect; anything else would reach std::terminate on this
  // thread and take the window with it.
  try {
    return driver(observer);
  } catch (const std::bad_alloc&) {
    observer.Status("");
    return FailedOn(file, Tr("There is not enough memory for this run."));
  } catch (const std::exception& error) {
    observer.Status("");
    std::string reason = error.what();
    if (!reason.ends_with('.')) reason += '.';
    return FailedOn(file, reason);
  } catch (...) {
    observer.Status("");
    return FailedOn(file, Tr("An unexpected error ended it."));
  }
}

void RunThread::Start(Driver driver, RunObserver& observer, std::string file,
                      std::function<void()> ended) {
  Wait();
  done.store(false);
  busy = true;
  thread = std::thread([this, driver = std::move(driver), &observer, file = std::move(file),
                        ended = std::move(ended)] {
    result = RunCaught(driver, observer, file);
    done.store(true);
    if (ended) ended();
  });
}

void RunThread::Wait() {
  if (thread.joinable()) thread.join();
}

RunResult RunThread::Take() {
  Wait();
  busy = false;
  RunResult taken = std::move(result);
  result = {};
  return taken;
}

}  // namespace pexol::pages
