// cli/CliCommon.h - what the three subcommands share: option names, progress, results
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>

#include "core/Options.h"
#include "convert/RunFrame.h"
#include "core/RunObserver.h"

namespace pexol::cli {

/// Exit codes, as diff and grep use them.
constexpr int exitSuccess = 0;
constexpr int exitMissing = 1;
constexpr int exitTrouble = 2;

/// "--software" values; "auto" is no value.
const std::map<std::string, int>& SoftwareNames();
const std::map<std::string, TimecodeMode>& TimecodeNames();

/// Draws a progress bar with the status text on standard error, only when it is a
/// terminal, and not more often than the eye can follow.
class TerminalObserver final : public RunObserver {
 public:
  TerminalObserver();
  ~TerminalObserver() override;
  void Status(std::string_view line) override;
  void Progress(int done, int total) override;

 private:
  void Draw(bool force);

  bool enabled_;
  std::string status_;
  int done_ = 0;
  int total_ = 200;
  long long lastDrawMs_ = 0;
  bool drawn_ = false;
};

/// Prints the run's message (standard output, or standard error when `quietStdout`)
/// and returns the exit code for it.
int Report(const RunResult& result, bool quietStdout);

}  // namespace pexol::cli
