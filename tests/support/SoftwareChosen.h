// tests/support/SoftwareChosen.h - which software the automatic choice reads a project as
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "model/ReadingPlan.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// The software the automatic choice takes for `bytes`, read quietly; nullopt when neither
/// reads it.
inline std::optional<Software> ChooseSoftware(std::span<const std::uint8_t> bytes,
                                              UnknownClips unknownClips = UnknownClips::Fail) {
  NullObserver quiet;
  RunProgress progress(quiet);
  Software tried = Software::CorvaneBrisko;
  try {
    return ReadWithChoice(bytes, SoftwareChoice::Automatic(), QuietReading(unknownClips),
                          progress, tried)
        .chosen;
  } catch (const RunFailure&) {
    return std::nullopt;
  }
}

}  // namespace pexol
