// sections/RunContext.cpp - checks that belong to every codec of a run
#include "sections/RunContext.h"

#include "core/RunFailure.h"

namespace pexol {

void ToProjectRun::CheckFieldLength(std::string_view field) const {
  if (field.size() > maxCountedStringLength)
    throw RunFailure(FailedInput::Text,
                     "line " + std::to_string(text.LineNumber()) + ": a text of " +
                         std::to_string(field.size()) +
                         " bytes is longer than a project can hold (65535 bytes).");
}

}  // namespace pexol
