// check/CheckOutcome.cpp - the check's completion message
#include "check/CheckOutcome.h"

namespace pexol {

std::string MediaCheckMessage(std::string_view source, int missingCount,
                              std::string_view missingList) {
  std::string message = "complete\n\n" + std::string(source) + "\n\n";
  if (missingCount == 0) return message + "0 file undetected";
  message += missingCount == 1 ? std::string("1 file undetected")
                               : std::to_string(missingCount) + " files undetected";
  return message + "\n\n" + std::string(missingList) + "\n";
}

}  // namespace pexol
