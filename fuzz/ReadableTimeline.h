// fuzz/ReadableTimeline.h - the timeline of a project that reads, for the checks of what is made
// from it
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "model/Project.h"
#include "model/Timeline.h"

namespace pexol::fuzz {

/// nullopt for a project that does not read: the conversions' checks cover those.
inline std::optional<Timeline> ReadableTimeline(std::span<const std::uint8_t> project,
                                                Software software) {
  try {
    NullObserver quiet;
    RunProgress progress(quiet);
    return BuildTimeline(ReadProject(project, {software}, progress));
  } catch (const RunFailure&) {
    return std::nullopt;
  }
}

}  // namespace pexol::fuzz
