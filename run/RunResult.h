// run/RunResult.h - how a run ended: what every run reports, and the part one kind of run adds
#pragma once

#include <any>
#include <optional>
#include <string>
#include <vector>

#include "core/Options.h"

namespace pexol {

/// How a run ended and the message a front end shows for it.
struct RunResult {
  enum class Status { Completed, Failed, Stopped };
  Status status = Status::Completed;
  std::string message;                     ///< the completion message, or the failure message
  std::optional<Software> chosenSoftware;  ///< set when the run chose the software itself
  std::vector<std::string> warnings = {};  ///< what the user should know of a completed run
  /// What one kind of run adds (its counts), of a type its driver defines; empty for the
  /// conversions and for every failed run. Read it with `OutcomeAs`.
  std::any outcome = {};

  bool Completed() const { return status == Status::Completed; }
  /// The outcome when it is an `Outcome`, else null: a reader asks only for the type it knows.
  template <class Outcome>
  const Outcome* OutcomeAs() const {
    return std::any_cast<Outcome>(&outcome);
  }

  static RunResult Failed(std::string message) {
    return {Status::Failed, std::move(message), std::nullopt};
  }
};

}  // namespace pexol
