// relink/RelinkOutcome.h - what a relink adds to its result, and its messages
#pragma once

#include <string>
#include <string_view>

namespace pexol {

/// What a relink changed (or, on a dry run, would change).
struct RelinkOutcome {
  int changes = 0;
};

/// "relink completed" with the files and the count; on a dry run what would change.
std::string RelinkCompletedMessage(std::string_view source, std::string_view destination,
                                   int changes);
std::string RelinkTriedMessage(std::string_view source, int changes);

}  // namespace pexol
