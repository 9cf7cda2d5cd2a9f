// run/RunResult.h - how a run ended: what every run reports, and the part one kind of run adds
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/Options.h"

namespace pexol {

/// What a media check adds: names not found (the same name twice counts twice).
struct CheckOutcome {
  int missingCount = 0;
};

/// What an export wrote: tracks (EDL files for CMX 3600), timeline items (a main clip counts
/// once even when its audio also fills an audio track) and transitions.
struct ExportOutcome {
  int tracks = 0;
  int clips = 0;
  int transitions = 0;
};

/// What a relink changed (or, on a dry run, would change).
struct RelinkOutcome {
  int changes = 0;
};

/// What a render wrote: its length and the time it took.
struct RenderOutcome {
  long long frames = 0;
  double seconds = 0;
};

/// The part of a result that one kind of run adds; the conversions add nothing.
using RunOutcome =
    std::variant<std::monostate, CheckOutcome, ExportOutcome, RelinkOutcome, RenderOutcome>;

/// How a run ended and the message a front end shows for it.
struct RunResult {
  enum class Status { Completed, Failed, Stopped };
  Status status = Status::Completed;
  std::string message;                     ///< the completion message, or the failure message
  std::optional<Software> chosenSoftware;  ///< set when the run chose the software itself
  std::vector<std::string> warnings = {};  ///< what the user should know of a completed run
  RunOutcome outcome = {};

  bool Completed() const { return status == Status::Completed; }
  /// Names a media check did not find; 0 for every other run.
  int MissingCount() const {
    const auto* check = std::get_if<CheckOutcome>(&outcome);
    return check != nullptr ? check->missingCount : 0;
  }

  static RunResult Failed(std::string message) {
    return {Status::Failed, std::move(message), std::nullopt};
  }
};

}  // namespace pexol
