// check/CheckOutcome.h - what a media check adds to its result, and its completion message
#pragma once

#include <string>
#include <string_view>

#include "media/MediaCount.h"
#include "run/RunResult.h"

namespace pexol {

/// What a media check adds: names not found (the same name twice counts twice), as its message
/// says, and the references and files counted as pexol shows them everywhere else. A collect
/// reports the names it could not collect the same way, so that it ends as a check does.
struct CheckOutcome {
  int missingCount = 0;
  MediaCount media = {};
};

/// Names the check (or the collect) did not find; 0 for every other run.
inline int MissingCount(const RunResult& result) {
  const auto* check = result.OutcomeAs<CheckOutcome>();
  return check != nullptr ? check->missingCount : 0;
}

/// "complete", the project name and the count, then `missingList` unless nothing is missing.
std::string MediaCheckMessage(std::string_view source, int missingCount,
                              std::string_view missingList);

}  // namespace pexol
