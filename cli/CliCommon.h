// cli/CliCommon.h - what the subcommands share: options, help layout, progress, results
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "core/Translation.h"
#include "export/ExportWritten.h"
#include "media/TranscodeChoices.h"
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
/// Each option of the export formats' rows ("--timecode-start=TIMECODE"), its value checked
/// against its choices and kept in `options` by the option's name.
void AddFormatOptions(CLI::App& command, FormatOptions& options);
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

/// Choices as a sentence names them: "a, b or c" (in the chosen language).
std::string OneOf(const std::vector<std::string>& items);

/// The export formats' names, each to itself: what "--format" takes, from the format table.
const std::map<std::string, std::string>& ExportFormatChoices();

/// The transcode kinds by name, as --transcode takes them.
const std::map<std::string, TranscodeKind>& TranscodeKindChoices();
/// The modes that count at a rate, as an export or a render needs.
std::map<std::string, TimecodeMode> RatedTimecodeNames();

/// "--plan" alone (the value "true": lines for GNU parallel) or "--plan=slurm" (a script for
/// Slurm); a flag, so that "--plan FILE" leaves FILE to the command.
CLI::Option* AddPlanOption(CLI::App& command, std::string& target, const std::string& what);

/// A value one of our checks refused, kept for the parse error that CLI11 makes of it: what
/// the check gave CLI11 (which puts the option's name and ": " before it) and the whole
/// sentence that says it in the chosen language, `{0}` the option.
struct RefusedValue {
  std::string given;                ///< the check's message as CLI11 got it
  std::string_view sentence;        ///< marked for the catalogue
  std::vector<std::string> pieces;  ///< {1}, {2}…
  bool ownEnglish = false;          ///< English keeps CLI11's words, as the message has always read
};

/// The value refused last in this parse, if any.
std::optional<RefusedValue>& LastRefusedValue();

/// Notes a refused value and gives back the message for CLI11: `sentence` in English with the
/// option left out ("{0}: " before it), or `cli11Words` when English keeps CLI11's.
std::string Refuse(std::string_view sentence, std::vector<std::string> pieces,
                   std::string cli11Words = {});

/// `check` (one of CLI11's validators or transformers) that notes a value it refuses as
/// `sentence` with the value as {1} and `after` as {2}…; English keeps CLI11's words.
CLI::Validator Refusing(CLI::Validator check, std::string_view sentence,
                        std::vector<std::string> after = {});

/// A number from `least` to `most` ("--jobs", "--scale").
CLI::Validator NumberFrom(int least, int most);
CLI::Validator NumberFrom(double least, double most);
/// A number greater than 0.
CLI::Validator PositiveNumber();
/// A number of 0 or more.
CLI::Validator NonNegativeNumber();
/// One of `names`, in any case where `anyCase`.
CLI::Validator OneOfNames(const std::vector<std::string>& names, bool anyCase = false);

/// Values an option takes, for the help, the manual and the completions: the transformer from
/// names to values, described by the names ("corvane|brisko|lumetta|auto").
template <typename Value>
CLI::Validator Choices(const std::map<std::string, Value>& names) {
  std::string words;
  std::vector<std::string> each;
  for (const auto& [name, value] : names) {
    words += (words.empty() ? "" : "|") + name;
    each.push_back(name);
  }
  return Refusing(CLI::CheckedTransformer(names, CLI::ignore_case),
                  ToTranslate("{0}: \"{1}\" is not one of {2}"), {OneOf(each)})
      .description(words)
      .name("choices");
}

/// How a run shows its progress on standard error ("--progress").
enum class ProgressMode {
  Automatic,  ///< the bar on a terminal, otherwise a line now and then once a run takes time
  None,
  Lines,  ///< a plain line at every tenth of the run and every few seconds
  Json,   ///< one JSON object a line: progress, warnings, messages and the result
};

/// "--progress=none|lines|json" on every subcommand of `app`; the mode given applies to the
/// whole run (one command runs per process).
void AddProgressOption(CLI::App& app);

/// Shows a run's progress on standard error in the chosen mode. The bar is drawn only on a
/// terminal that standard output does not also write text to, and nothing but errors with
/// --quiet.
class TerminalObserver final : public RunObserver {
 public:
  /// `textToStdout`: the run writes its result to standard output (DEST -).
  explicit TerminalObserver(bool textToStdout = false);
  ~TerminalObserver() override;
  void Status(std::string_view line) override;
  void Progress(int done, int total) override;
  void Frames(std::int64_t done, std::int64_t total) override;
  /// Shows the bar full after a run that completed, then ends its line.
  void Finish(bool completed);
  ProgressMode Mode() const { return mode_; }

 private:
  void Draw(bool force);
  void WriteLine();
  void WriteJson(bool force);
  double Elapsed() const;

  ProgressMode mode_;
  bool quietAtFirst_ = false;  ///< lines only once the run has taken a couple of seconds
  std::string status_;
  int done_ = 0;
  int total_ = 200;
  std::int64_t framesDone_ = -1;  ///< frames of a render; -1 for other runs
  std::int64_t framesTotal_ = 0;
  long long framesStartMs_ = 0;  ///< when the first frames were reported
  long long startMs_ = 0;
  long long lastDrawMs_ = 0;
  int lastTenth_ = -1;
  bool drawn_ = false;
};

/// Ends the bar, prints the software chosen, the warnings and the run's message (standard
/// output, or standard error when `quietStdout`; with --quiet only a failure's) and returns
/// the exit code for it. With "--progress=json" all of it goes to standard error as JSON
/// objects, the message in the final "result" object.
int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout);

/// A run that ended in an exception: the message on standard error, as text or as the final
/// JSON result object.
void ReportFailure(const std::string& message, int exitCode);

/// The run's message for the terminal: names decoded, a failure followed by what to do about
/// it in the command line's options.
std::string MessageWithRemedy(const RunResult& result);

/// The exit code of a result: 0, 1 when a check missed media, 2 for a failure.
int ExitCodeOf(const RunResult& result);

/// A mistyped command ("totext"): the message naming the nearest command; empty when
/// `arguments` (the program's, UTF-8) start with a command of `app` or an option.
std::string UnknownCommandMessage(const CLI::App& app, const std::vector<std::string>& arguments);

/// After a parse that failed: for the first option the parsed command does not know
/// ("--serach"), the message naming its nearest option, as `UnknownCommandMessage` names the
/// nearest command; empty when every option was known.
std::string UnknownOptionMessage(const CLI::App& app);

/// Parses `arguments` (the program's, UTF-8) into `app` and so runs the command they name;
/// returns the exit status: the command's (`exitCode`, which its run sets), 2 for a parse
/// error (its message naming the nearest option) or for a run that ended in an exception
/// (reported as one, `program` naming it).
int ParseAndRun(CLI::App& app, std::vector<std::string>& arguments, const int& exitCode,
                const std::string& program);

}  // namespace pexol::cli
