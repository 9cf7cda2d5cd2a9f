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

/// What every command may be asked for: only errors (--quiet), or its summary as one JSON
/// document on standard output (--json). Set by the parse, read by the command's run.
struct OutputChoice {
  bool quiet = false;
  bool json = false;
};
OutputChoice& Output();

/// True for a command, false for an option group (which CLI11 keeps as a nameless subcommand).
inline bool IsCommand(const CLI::App* app) {
  return !app->get_name().empty();
}

/// "--quiet" on every command of `app`: only errors, on standard error.
void AddQuietOption(CLI::App& app);
/// "--json" on `command`.
void AddJsonOption(CLI::App& command);

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

/// Values an option takes, for the help, the manual and the completions: the transformer from
/// names to values, described by the names ("corvane|brisko|lumetta|auto").
template <typename Value>
CLI::Validator Choices(const std::map<std::string, Value>& names) {
  std::string words;
  for (const auto& [name, value] : names) words += (words.empty() ? "" : "|") + name;
  return CLI::CheckedTransformer(names, CLI::ignore_case).description(words).name("choices");
}

/// Draws a progress bar with the status text on standard error while a run goes on, only
/// when standard error is a terminal that standard output does not also write text to and
/// the run is not --quiet.
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
/// output, or standard error when `quietStdout`; with --quiet only a failure's) and returns
/// the exit code for it.
int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout);

/// The exit code of a result: 0, 1 when a check missed media, 2 for a failure.
int ExitCodeOf(const RunResult& result);

/// A mistyped command ("totext"): the message naming the nearest command; empty when
/// `arguments` (the program's, UTF-8) start with a command of `app` or an option.
std::string UnknownCommandMessage(const CLI::App& app, const std::vector<std::string>& arguments);

}  // namespace pexol::cli
