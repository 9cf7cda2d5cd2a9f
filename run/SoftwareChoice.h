// run/SoftwareChoice.h - the one place that decides which software wrote a project
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/Options.h"
#include "core/RunProgress.h"
#include "model/Project.h"

namespace pexol {

/// What the user asked for: a named software, or the automatic choice.
struct SoftwareChoice {
  bool automatic = true;
  Software named = Software::CorvaneBrisko;  ///< when not automatic

  static SoftwareChoice Automatic() { return {}; }
  static SoftwareChoice Named(Software software) { return {false, software}; }
};

/// A name the command line takes for a choice; the first of each choice is the one written.
struct SoftwareChoiceName {
  std::string_view name;  ///< "corvane", "brisko", "lumetta", "auto"
  SoftwareChoice choice;
};
std::span<const SoftwareChoiceName> SoftwareChoiceNames();

/// A project read under a choice, and the software it was read as.
struct ChosenReading {
  Project project;
  std::optional<Software> chosen;  ///< set when the choice was automatic
};

/// Reads `bytes` as `plan` says. A named software is used as it is. The automatic choice
/// takes the first software that reads the project exactly (to its end, every clip of a known
/// kind), else the first that reads it at all with what the plan accepts (its unknown clips); when
/// neither does, the first, whose failure says what is wrong. Throws as `ReadProject` does;
/// `tried` holds the software of the failed reading.
ChosenReading ReadWithChoice(std::span<const std::uint8_t> bytes, const SoftwareChoice& choice,
                             const ReadingPlan& plan, RunProgress& progress, Software& tried);

}  // namespace pexol
