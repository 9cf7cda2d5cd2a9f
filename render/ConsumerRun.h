// render/ConsumerRun.h - an MLT consumer run to its end, started again when its thread missed
// the start
#pragma once

#include <functional>

namespace Mlt {
class Consumer;
class Producer;
}  // namespace Mlt

namespace pexol {

/// How a consumer's run ended.
enum class ConsumerEnd {
  Finished,     ///< the producer's range was encoded
  Stopped,      ///< `keepGoing` asked to stop
  NotStarted,   ///< the consumer would not start
  WriteFailed,  ///< the consumer reported a fatal error (FFmpeg could not write)
};

/// Starts `consumer`, connected to `producer` and set to end at the producer's out point, and
/// waits for its thread to end, asking `keepGoing` between short sleeps; false stops the
/// consumer. Returns once the consumer's thread has ended and its file is closed.
///
/// MLT 7's avformat consumer creates its thread before it marks itself running; a thread that
/// looks first ends at once, having written an empty file. Such a run is started again from
/// the producer's first frame.
ConsumerEnd RunConsumer(Mlt::Consumer& consumer, Mlt::Producer& producer,
                        const std::function<bool()>& keepGoing);

}  // namespace pexol
