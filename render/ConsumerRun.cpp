// render/ConsumerRun.cpp - starting, watching and stopping an MLT consumer
#include "render/ConsumerRun.h"

#include <mlt++/Mlt.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace pexol {

namespace {

void SetFlag(mlt_properties, void* flag, mlt_event_data) {
  static_cast<std::atomic<bool>*>(flag)->store(true);
}

void CountFrame(mlt_properties, void* count, mlt_event_data) {
  ++*static_cast<std::atomic<std::int64_t>*>(count);
}

// Stops a running consumer however the wait ends; stopping joins its thread, so the file is
// closed before anyone syncs, reads or removes it.
struct ConsumerStop {
  Mlt::Consumer& consumer;
  ~ConsumerStop() { consumer.stop(); }
};

// A thread that missed the start several times over means something else is wrong; the
// caller's own checks of the file say what.
constexpr int startAttempts = 3;

}  // namespace

ConsumerEnd RunConsumer(Mlt::Consumer& consumer, Mlt::Producer& producer,
                        const std::function<bool()>& keepGoing) {
  // FFmpeg's write errors are only logged and end the thread early: the event tells them apart.
  std::atomic<bool> failed = false;
  // The thread's end event always comes, even when the running state never changes.
  std::atomic<bool> ended = false;
  std::atomic<std::int64_t> encoded = 0;
  const std::unique_ptr<Mlt::Event> failure(
      consumer.listen("consumer-fatal-error", &failed, SetFlag));
  const std::unique_ptr<Mlt::Event> end(consumer.listen("consumer-stopped", &ended, SetFlag));
  const std::unique_ptr<Mlt::Event> frame(
      consumer.listen("consumer-frame-show", &encoded, CountFrame));
  for (int attempt = 0; attempt < startAttempts; ++attempt) {
    ended = false;
    producer.seek(0);
    if (consumer.start() != 0) return ConsumerEnd::NotStarted;
    {
      const ConsumerStop stop{consumer};
      while (!ended && !consumer.is_stopped()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!keepGoing()) return ConsumerEnd::Stopped;
      }
    }
    if (failed) return ConsumerEnd::WriteFailed;
    if (encoded > 0) break;
  }
  return ConsumerEnd::Finished;
}

}  // namespace pexol
