// cli/CliCommon.h - what the subcommands share: options, help layout, progress, results
#pragma once

#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol::cli {

/// Exit codes, as diff and grep use them.
constexpr int exitSuccess = 0;
constexpr int exitMissing = 1;
constexpr int exitTrouble = 2;

/// The help layout of every command: options with their values in words, no parser types.
std::shared_ptr<CLI::Formatter> HelpFormatter();

/// "--software corvane|brisko|lumetta|auto": the job's choice, automatic by default.
void AddSoftwareOption(CLI::App& command, SoftwareChoice& choice);
/// "--timecode" with the given choices, by name; `why` ends the message for any other value.
void AddTimecodeOption(CLI::App& command, TimecodeMode& mode,
                       const std::map<std::string, TimecodeMode>& choices,
                       const std::string& why = "");
/// "--encoding shift-jis|utf-8".
void AddEncodingOption(CLI::App& command, TextEncoding& encoding, const std::string& what = {});
/// "--map 'PREFIX=FOLDER'", repeatable, with the help text `what`.
void AddMapOption(CLI::App& command, std::vector<std::string>& rules, const std::string& what);
/// "--search FOLDER", repeatable.
void AddSearchOption(CLI::App& command, std::vector<std::string>& folders);
/// A positional argument, shown as its name alone.
CLI::Option* AddFile(CLI::App& command, const std::string& name, std::string& value,
                     const std::string& what);

const std::map<std::string, TimecodeMode>& TimecodeNames();
/// The modes that count at a rate, as an export or a render needs.
std::map<std::string, TimecodeMode> RatedTimecodeNames();

/// Draws a progress bar with the status text on standard error while a run goes on, only
/// when standard error is a terminal that standard output does not also write text to.
class TerminalObserver final : public RunObserver {
 public:
  /// `textToStdout`: the run writes its result to standard output (DEST -).
  explicit TerminalObserver(bool textToStdout = false);
  ~TerminalObserver() override;
  void Status(std::string_view line) override;
  void Progress(int done, int total) override;
  /// Shows the bar full after a run that completed, then ends its line.
  void Finish(bool completed);

 private:
  void Draw(bool force);

  bool enabled_;
  std::string status_;
  int done_ = 0;
  int total_ = 200;
  long long lastDrawMs_ = 0;
  bool drawn_ = false;
};

/// Ends the bar, prints the software chosen, the warnings and the run's message (standard
/// output, or standard error when `quietStdout`) and returns the exit code for it.
int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout);

}  // namespace pexol::cli
