// app/pages/PosterReading.cpp - one fetch for all of a scene's posters, the latest scene next
#include "app/pages/PosterReading.h"

#include "probe/PosterFrames.h"

namespace pexol::pages {

PosterReading::PosterReading(std::function<void()> wake) : wake(std::move(wake)) {}

PosterReading::~PosterReading() {
  stop = true;
  thread.Wait();
}

void PosterReading::Read(const TimelineScene& scene) {
  posters = {};
  ScenePosterRequests asked = PosterRequestsOf(scene);
  if (thread.Busy()) {
    stop = true;
    waiting.emplace(std::move(asked), scene.rows.size());
    return;
  }
  Start(std::move(asked), scene.rows.size());
}

void PosterReading::Clear() {
  Read(TimelineScene{});
}

void PosterReading::Start(ScenePosterRequests asked, std::size_t rows) {
  waiting.reset();
  if (asked.requests.empty()) return;
  stop = false;
  made = {};
  thread.Start(
      [this, asked = std::move(asked), rows](RunObserver&) {
        std::vector<std::string> fetched =
            PosterFrames(asked.requests, [this] { return stop.load(); });
        made.rows.resize(rows);
        for (std::size_t i = 0; i < fetched.size(); ++i) {
          const auto [row, clip] = asked.places[i];
          if (made.rows[row].size() <= clip) made.rows[row].resize(clip + 1);
          made.rows[row][clip] = std::move(fetched[i]);
        }
        return RunResult{};
      },
      quiet, {}, wake);
}

bool PosterReading::Deliver() {
  if (!thread.Busy() || !thread.Done()) return false;
  thread.Take();
  if (waiting) {
    auto next = std::move(*waiting);
    Start(std::move(next.first), next.second);
    return false;
  }
  if (stop) return false;
  posters = std::move(made);
  made = {};
  return true;
}

}  // namespace pexol::pages
