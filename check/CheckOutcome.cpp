// check/CheckOutcome.cpp - the check's completion message
#include "check/CheckOutcome.h"

#include "core/Translation.h"

namespace pexol {

std::string MediaCheckMessage(std::string_view source, int missingCount,
                              std::string_view missingList) {
  // None missing reads "0 file undetected", as the message has always been worded.
  if (missingCount == 0) return Say("complete\n\n{0}\n\n0 file undetected", source);
  return SayN(missingCount, "complete\n\n{0}\n\n{1} file undetected\n\n{2}\n",
              "complete\n\n{0}\n\n{1} files undetected\n\n{2}\n", source, missingCount,
              missingList);
}

}  // namespace pexol
