// app/pages/PosterReading.h - the timeline's poster frames, fetched off the window's thread
#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include "app/pages/RunThread.h"
#include "picture/ScenePosters.h"

namespace pexol::pages {

/// Fetches the posters of a scene's clips (`PosterFrames`: the cache, then one child process of
/// the media program for the rest) on a thread of its own; the window never loads FFmpeg. A new
/// scene stops the fetching going on and replaces it.
class PosterReading {
 public:
  /// `wake` posts a call of `Deliver` to the window's thread and does nothing else.
  explicit PosterReading(std::function<void()> wake);
  ~PosterReading();
  PosterReading(const PosterReading&) = delete;
  PosterReading& operator=(const PosterReading&) = delete;

  /// Forgets the posters and fetches those of `scene` (which the caller keeps).
  void Read(const TimelineScene& scene);
  /// Forgets the posters and stops a fetching.
  void Clear();
  /// True while posters are being fetched (or wait to be taken).
  bool Reading() const { return thread.Busy() || waiting.has_value(); }
  /// The wake's call: takes the posters fetched, or starts the scene that waited. True when
  /// posters came.
  bool Deliver();
  /// Waits for the fetching going on; `Deliver` still takes it.
  void Wait() { thread.Wait(); }
  /// The posters shown; rows empty until they came.
  const ScenePosters& Posters() const { return posters; }

 private:
  void Start(ScenePosterRequests asked, std::size_t rows);

  std::function<void()> wake;
  ScenePosters posters;
  ScenePosters made;  ///< written by the fetching's thread
  std::optional<std::pair<ScenePosterRequests, std::size_t>> waiting;
  std::atomic<bool> stop{false};
  NullObserver quiet;
  RunThread thread;  ///< last: joined before the rest goes
};

}  // namespace pexol::pages
