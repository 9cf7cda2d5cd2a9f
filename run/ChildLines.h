// run/ChildLines.h - the lines a run writes on standard error for the program that started it,
// one JSON object each, and their reading back: progress, warnings, the software it chose and
// its result
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "run/ChildReport.h"
#include "run/RunResult.h"

namespace pexol {

/// Where a run has got to: steps of its own scale, or frames encoded once a render counts them.
struct ChildProgress {
  std::int64_t done = 0;
  std::int64_t total = 1;
  bool frames = false;  ///< `done` and `total` count frames
  double fps = 0;       ///< frames encoded a second, with `frames`
  int percent = 0;
  double elapsed = 0;               ///< seconds since the run started
  std::optional<double> remaining;  ///< seconds left, once the run can tell
  std::string status;               ///< the status line, UTF-8; empty for none
};

/// How a run ended, as its last line says it: every name in `message` already UTF-8.
struct ChildEnding {
  RunResult::Status status = RunResult::Status::Failed;
  int exitCode = 0;
  std::string message;
  std::optional<Software> software;
  Remedy remedy = Remedy::None;
  std::optional<std::int64_t> frames;  ///< what a render or transcode wrote
  double seconds = 0;                  ///< with `frames`
  std::optional<std::size_t> missing;  ///< media a check did not find
};

/// Each line without its newline; a byte of a text that is not UTF-8 becomes U+FFFD.
std::string ChildProgressLine(const ChildProgress& progress);
std::string ChildWarningLine(std::string_view warning);
/// The software the run chose itself; the result line names it too.
std::string ChildSoftwareLine(Software software);
std::string ChildResultLine(const ChildEnding& ending);

/// Reads one line a child wrote into `report`: a line that is not one of the above (cut short,
/// or what a crashing library printed) is kept among its last notes.
void ReadChildLine(std::string_view line, ChildReport& report);

}  // namespace pexol
