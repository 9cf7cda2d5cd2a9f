// run/ChildReport.h - what a pexol command run as a child said on its JSON progress lines, and
// how it ended
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/ProcessPool.h"
#include "run/RunResult.h"

namespace pexol {

/// A child run with "--progress json", gathered line by line as it writes.
struct ChildReport {
  bool ended = false;  ///< its result object arrived
  RunResult result;    ///< once `ended`, with its warnings
  /// Its latest progress: percent of its run, frames encoded (-1 before the first) and status.
  int percent = 0;
  std::int64_t framesDone = -1;
  std::int64_t framesTotal = 0;
  std::string status;
  std::vector<std::string> notes;  ///< its last lines that were not JSON (what a crash said)
  /// What its result said it wrote, for runs that say so (a render, a transcode): frames
  /// (-1 when it did not say) and seconds.
  long long resultFrames = -1;
  double resultSeconds = 0;
};

/// How a child that said nothing of its end ended (not started, killed, ended by a signal or
/// with an exit status), one sentence naming `program`: in English for the files other programs
/// read (`english`), else in the user's language.
std::string HowChildEnded(const ChildEnd& end, const std::string& program, bool english);

/// The child's result, or, for a child that ended without one (crashed, killed, not started),
/// a failure that opens with `headline`, names `program` and says how it ended and what it
/// printed last.
RunResult ChildResult(ChildReport report, const ChildEnd& end, std::string_view headline,
                      const std::string& program);

}  // namespace pexol
