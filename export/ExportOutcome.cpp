// export/ExportOutcome.cpp - the export's completion message
#include "export/ExportOutcome.h"

namespace pexol {

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts) {
  const auto count = [](int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
  };
  std::string message =
      "export completed\n\nfrom : " + std::string(source) + "\n   to : " + std::string(destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  return message + "\n\n" + count(counts.tracks, "track", "tracks") + ", " +
         count(counts.clips, "clip", "clips") + ", " +
         count(counts.transitions, "transition", "transitions");
}

}  // namespace pexol
