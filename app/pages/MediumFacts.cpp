// app/pages/MediumFacts.cpp - one probe for all found media, the latest list next
#include "app/pages/MediumFacts.h"

#include "probe/EditorSupport.h"
#include "probe/ProbeMedia.h"

namespace pexol::pages {

MediumFactsReading::MediumFactsReading(std::function<void()> wake) : wake(std::move(wake)) {}

MediumFactsReading::~MediumFactsReading() {
  stop = true;
  thread.Wait();
}

void MediumFactsReading::Read(std::vector<std::string> paths) {
  facts.clear();
  if (thread.Busy()) {
    stop = true;
    waiting = std::move(paths);
    return;
  }
  Start(std::move(paths));
}

void MediumFactsReading::Start(std::vector<std::string> paths) {
  waiting.reset();
  if (paths.empty()) return;
  stop = false;
  made.clear();
  thread.Start(
      [this, paths = std::move(paths)](RunObserver&) {
        const std::vector<MediaFacts> read = ProbeMedia(paths, [this] { return stop.load(); });
        for (std::size_t p = 0; p < paths.size() && !stop; ++p) {
          // Nothing to say of a file not read: there is no media program (Windows has none).
          if (read[p].kind == MediaKind::Unknown)
            made[paths[p]] = {};
          else
            made[paths[p]] = {FactsSummaryShown(read[p]),
                              OpensSummaryShown(EditorsThatOpen(read[p], paths[p]))};
        }
        return RunResult{};
      },
      quiet, {}, wake);
}

bool MediumFactsReading::Deliver() {
  if (!thread.Busy() || !thread.Done()) return false;
  thread.Take();
  if (waiting) {
    std::vector<std::string> next = std::move(*waiting);
    Start(std::move(next));
    return false;
  }
  facts = std::move(made);
  made.clear();
  return true;
}

const MediumFacts* MediumFactsReading::Of(const std::string& path) const {
  const auto at = facts.find(path);
  return at == facts.end() ? nullptr : &at->second;
}

}  // namespace pexol::pages
