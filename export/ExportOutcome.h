// export/ExportOutcome.h - what an export adds to its result, and its messages
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Translation.h"

namespace pexol {

/// What an export wrote: tracks (EDL files for CMX 3600) and transitions as the format holds
/// them, and the project's clips as every command counts them (`ClipCount`).
struct ExportOutcome {
  int tracks = 0;
  int clips = 0;
  int transitions = 0;
};

inline constexpr std::string_view cannotExport = ToTranslate("Can not export the timeline");

/// "export completed", the files written (`sideFiles` beside the destination) and the counts.
std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts);

}  // namespace pexol
