// run/RunResult.h - how a run ended: what every run reports, and the part one kind of run adds
#pragma once

#include <any>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options.h"

namespace pexol {

/// What the user can do about a failed run, as data: each front end words it in its own terms
/// (the command line its options, the window its buttons), after the run's message.
enum class Remedy {
  None,
  /// Media are missing: find them (rules for their folders, folders to search) or render black
  /// and silence in their place.
  FindOrBlackOutMedia,
  /// A name cannot be written: rename the folder or file, or map its folder to another.
  RenameOrMapFolder,
};

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
  Remedy remedy = Remedy::None;  ///< what a failure's message is followed by

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

/// A failure's `message` followed by a front end's `words` for its remedy: on the line after a
/// list (a message that ends with a new line), else after a blank line.
inline std::string WithRemedyWords(std::string message, std::string_view words) {
  if (!message.empty() && message.back() != '\n') message += "\n\n";
  return message + std::string(words);
}

}  // namespace pexol
