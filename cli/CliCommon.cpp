// cli/CliCommon.cpp - options, help layout, terminal progress and reporting for the command line
#include "cli/CliCommon.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <new>
#include <nlohmann/json.hpp>

#include "check/CheckOutcome.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "export/ExportFormats.h"
#include "render/RenderOutcome.h"

namespace pexol::cli {

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ProgressMode progressMode = ProgressMode::Automatic;

/// Lines and JSON objects at most this often, whatever the run reports.
constexpr long long jsonIntervalMs = 100;
constexpr long long lineIntervalMs = 5000;
/// Without "--progress", a run this quick prints no progress lines to a log.
constexpr long long quietStartMs = 2000;

/// One object on a line of standard error; names that are not UTF-8 come out as U+FFFD.
void WriteJsonLine(const nlohmann::json& object) {
  const std::string line = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

double Rounded(double value) {
  return static_cast<double>(static_cast<long long>(value * 100 + 0.5)) / 100;
}

std::string Clock(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

const char* StatusName(RunResult::Status status) {
  switch (status) {
    case RunResult::Status::Completed:
      return "completed";
    case RunResult::Status::Stopped:
      return "stopped";
    case RunResult::Status::Failed:
      break;
  }
  return "failed";
}

// Options are shown as GNU tools show them ("--software=WHICH"); positionals by name alone.
class GnuFormatter : public CLI::Formatter {
 public:
  GnuFormatter() {
    label("REQUIRED", "");
    column_width(34);
  }
  std::string make_option_opts(const CLI::Option* option) const override {
    return option->get_option_text();
  }
  // Descriptions wrap at 79 columns; the help writer indents each line it is given.
  std::string make_option_desc(const CLI::Option* option) const override {
    return Wrap(option->get_description(), 79 - get_column_width());
  }

 private:
  static std::string Wrap(const std::string& text, std::size_t width) {
    std::string wrapped;
    std::size_t lineLength = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find(' ', start);
      if (end == std::string::npos) end = text.size();
      const std::size_t wordLength = end - start;
      if (lineLength > 0 && lineLength + 1 + wordLength > width) {
        wrapped += '\n';
        lineLength = 0;
      } else if (lineLength > 0) {
        wrapped += ' ';
        ++lineLength;
      }
      wrapped.append(text, start, wordLength);
      lineLength += wordLength;
      start = end + 1;
    }
    return wrapped;
  }
};

// The edits (one letter added, dropped, changed or two swapped) from `a` to `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> before(b.size() + 1), row(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = row[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({row[j] + 1, current[j - 1] + 1, change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    before.swap(row);
    row.swap(current);
  }
  return row[b.size()];
}

}  // namespace

OutputChoice& Output() {
  static OutputChoice choice;
  return choice;
}

void AddQuietOption(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands([](CLI::App* each) { return IsCommand(each); }))
    command->add_flag("--quiet,-q", Output().quiet,
                      "print nothing but errors (on standard error): no progress, no warnings, "
                      "no completion message");
}

void AddJsonOption(CLI::App& command) {
  command.add_flag("--json", Output().json,
                   "print the summary as one JSON document on standard output (its fields are "
                   "in pexol-cli(1)); errors still go to standard error");
}

int ExitCodeOf(const RunResult& result) {
  if (!result.Completed()) return exitTrouble;
  return MissingCount(result) > 0 ? exitMissing : exitSuccess;
}

std::string UnknownCommandMessage(const CLI::App& app, const std::vector<std::string>& arguments) {
  if (arguments.size() < 2 || arguments[1].empty() || arguments[1].front() == '-') return {};
  const std::string& given = arguments[1];
  std::string nearest;
  std::size_t best = std::string::npos;
  for (const CLI::App* command : app.get_subcommands(IsCommand)) {
    if (command->check_name(given)) return {};
    const std::size_t distance = EditDistance(given, command->get_name());
    if (distance < best) {
      best = distance;
      nearest = command->get_name();
    }
  }
  std::string message = "pexol-cli: there is no command \"" + Printable(given) + "\".";
  // A suggestion far from what was typed would only mislead.
  if (!nearest.empty() && best <= std::max<std::size_t>(2, nearest.size() / 3))
    message += " Did you mean \"" + nearest + "\"?";
  return message + "\nRun 'pexol-cli --help' for the commands.";
}

std::string UnknownOptionMessage(const CLI::App& app) {
  // The command the parse reached: a later one is none, as one command runs at a time.
  const std::vector<CLI::App*>& parsed = app.get_subcommands();
  if (parsed.empty() || !IsCommand(parsed.front())) return {};
  const CLI::App& command = *parsed.front();
  for (std::string given : command.remaining()) {
    if (!given.starts_with("--") || given == "--") continue;  // "--" ends the options
    given = given.substr(0, given.find('='));
    std::string nearest;
    std::size_t best = std::string::npos;
    for (const CLI::Option* option : command.get_options()) {
      for (const std::string& name : option->get_lnames()) {
        const std::string each = "--" + name;
        const std::size_t distance = EditDistance(given, each);
        if (distance < best) {
          best = distance;
          nearest = each;
        }
      }
    }
    const std::string name = command.get_name();
    std::string message =
        "pexol-cli: there is no option \"" + Printable(given) + "\" for " + name + ".";
    // The same bound as for a command: a far suggestion would only mislead.
    if (!nearest.empty() && best <= std::max<std::size_t>(2, nearest.size() / 3))
      message += " Did you mean \"" + nearest + "\"?";
    return message + "\nRun 'pexol-cli " + name + " --help' for its options.";
  }
  return {};
}

std::shared_ptr<CLI::Formatter> HelpFormatter() {
  return std::make_shared<GnuFormatter>();
}

void AddSoftwareOption(CLI::App& command, SoftwareChoice& choice) {
  static const std::map<std::string, int> names = [] {
    std::map<std::string, int> table;
    for (const SoftwareChoiceName& name : SoftwareChoiceNames())
      table.emplace(name.name, name.choice.automatic ? -1 : static_cast<int>(name.choice.named));
    return table;
  }();
  choice = SoftwareChoice::Automatic();  // unless the option names one
  command
      .add_option_function<int>(
          "--software",
          [&choice](int chosen) {
            choice =
                chosen < 0 ? SoftwareChoice::Automatic() : SoftwareChoice::Named(Software{chosen});
          },
          "which application wrote the project: corvane (or brisko), lumetta, or auto "
          "(the default): the one that reads the project exactly to its end")
      ->transform(Choices(names))
      ->option_text("=WHICH");
}

void AddTimecodeOption(CLI::App& command, TimecodeMode& mode,
                       const std::map<std::string, TimecodeMode>& choices, const std::string& why) {
  std::string words;
  for (const auto& [name, value] : choices) words += (words.empty() ? "" : ", ") + name;
  // Names only: a mapped transformer would also take the numbers behind them.
  command
      .add_option_function<std::string>(
          "--timecode",
          [&mode, &choices, words, why](const std::string& given) {
            for (const auto& [name, value] : choices)
              if (EqualsIgnoreCase(given, name)) {
                mode = value;
                return;
              }
            throw CLI::ValidationError("--timecode", "\"" + given + "\" is not one of " + words +
                                                         (why.empty() ? "" : "; " + why));
          },
          "timecodes and rate: " + words + " (default ntsc-drop)")
      ->check(CLI::Validator([](const std::string&) { return std::string(); },
                             [&choices] {
                               std::string names;
                               for (const auto& [name, value] : choices)
                                 names += (names.empty() ? "" : "|") + name;
                               return names;
                             }(),
                             "choices"))
      ->option_text("=MODE");
}

void AddEncodingOption(CLI::App& command, TextEncoding& encoding, const std::string& what) {
  static const std::map<std::string, TextEncoding> names = {{"shift-jis", TextEncoding::ShiftJis},
                                                            {"utf-8", TextEncoding::Utf8}};
  command
      .add_option("--encoding", encoding,
                  !what.empty() ? what
                                : "text encoding of names, titles, fonts and labels in the text "
                                  "file: shift-jis (the default, the projects' own) or utf-8; a "
                                  "text that starts with a UTF-8 byte-order mark is read as utf-8")
      ->transform(Choices(names))
      ->option_text("=NAME");
}

void AddMapOption(CLI::App& command, std::vector<std::string>& rules, const std::string& what) {
  command.add_option("--map", rules, what)->option_text("='PREFIX=FOLDER'")->take_all();
}

void AddSearchOption(CLI::App& command, std::vector<std::string>& folders) {
  command
      .add_option("--search", folders,
                  "look for media not found by name in this folder and every folder in it, by "
                  "file name without regard to case (repeatable)")
      ->option_text("=FOLDER")
      ->take_all();
}

CLI::Option* AddFile(CLI::App& command, const std::string& name, std::string& value,
                     const std::string& what) {
  return command.add_option(name, value, what)->required()->option_text(" ");
}

const std::map<std::string, TimecodeMode>& TimecodeNames() {
  static const std::map<std::string, TimecodeMode> names = [] {
    std::map<std::string, TimecodeMode> all;
    for (const TimecodeModeName& name : TimecodeModeNames()) all.emplace(name.name, name.mode);
    return all;
  }();
  return names;
}

const std::map<std::string, TranscodeKind>& TranscodeKindChoices() {
  static const std::map<std::string, TranscodeKind> names = [] {
    std::map<std::string, TranscodeKind> kinds;
    for (const TranscodeKindChoice& choice : TranscodeKinds())
      kinds.emplace(choice.name, choice.kind);
    return kinds;
  }();
  return names;
}

const std::map<std::string, std::string>& ExportFormatChoices() {
  static const std::map<std::string, std::string> names = [] {
    std::map<std::string, std::string> table;
    for (const ExportFormat& format : ExportFormats()) table.emplace(format.name, format.name);
    return table;
  }();
  return names;
}

std::map<std::string, TimecodeMode> RatedTimecodeNames() {
  std::map<std::string, TimecodeMode> rated;
  for (const TimecodeModeName& name : TimecodeModeNames())
    if (name.rated) rated.emplace(name.name, name.mode);
  return rated;
}

void AddProgressOption(CLI::App& app) {
  static const std::map<std::string, ProgressMode> modes = {
      {"none", ProgressMode::None}, {"lines", ProgressMode::Lines}, {"json", ProgressMode::Json}};
  for (CLI::App* command : app.get_subcommands({}))
    command
        ->add_option("--progress", progressMode,
                     "how progress shows on standard error: none, lines (a line at every tenth "
                     "and every few seconds) or json (one JSON object a line, ending with the "
                     "result); by default a bar on a terminal, otherwise a line now and then")
        ->transform(Choices(modes))
        ->option_text("=MODE");
}

ProgressMode ChosenProgress() {
  return progressMode;
}

TerminalObserver::TerminalObserver(bool textToStdout) : mode_(progressMode), startMs_(NowMs()) {
  // --quiet leaves only errors on standard error, unless JSON was asked for by name.
  if (Output().quiet && mode_ != ProgressMode::Json) mode_ = ProgressMode::None;
  if (mode_ == ProgressMode::Automatic) {
    if (isatty(STDERR_FILENO) == 0) {
      mode_ = ProgressMode::Lines;
      quietAtFirst_ = true;
    } else if (textToStdout && isatty(STDOUT_FILENO) != 0) {
      mode_ = ProgressMode::None;  // the bar would run through the text
    }
  }
}

TerminalObserver::~TerminalObserver() {
  Finish(false);
}

void TerminalObserver::Status(std::string_view line) {
  status_ = line;
  Draw(line.empty());
}

void TerminalObserver::Progress(int done, int total) {
  done_ = done;
  total_ = total > 0 ? total : 1;
  Draw(false);
}

void TerminalObserver::Frames(std::int64_t done, std::int64_t total) {
  if (framesDone_ < 0) framesStartMs_ = NowMs();
  framesDone_ = done;
  framesTotal_ = total;
}

void TerminalObserver::Finish(bool completed) {
  if (mode_ == ProgressMode::Json && completed && (done_ < total_ || framesDone_ < framesTotal_)) {
    done_ = total_;
    if (framesDone_ >= 0) framesDone_ = framesTotal_;
    WriteJson(true);
  }
  if (mode_ != ProgressMode::Automatic || !drawn_) return;
  if (completed) {
    done_ = total_;
    status_.clear();
    Draw(true);
    std::fputs("\n", stderr);
  } else {
    std::fputs("\r\033[K", stderr);
  }
  std::fflush(stderr);
  drawn_ = false;
}

double TerminalObserver::Elapsed() const {
  return static_cast<double>(NowMs() - startMs_) / 1000;
}

void TerminalObserver::Draw(bool force) {
  switch (mode_) {
    case ProgressMode::None:
      return;
    case ProgressMode::Lines:
      WriteLine();
      return;
    case ProgressMode::Json:
      WriteJson(force);
      return;
    case ProgressMode::Automatic:
      break;
  }
  const long long now = NowMs();
  if (!force && now - lastDrawMs_ < 50) return;  // a run of many records must not crawl
  lastDrawMs_ = now;
  constexpr int width = 30;
  const int filled = done_ * width / total_;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(width, '.');
  // The time left once the run has taken long enough to tell; a status never adds another.
  std::string left;
  if (now - startMs_ >= quietStartMs && done_ > 0 && done_ < total_)
    left = ", " + Clock(Elapsed() * (total_ - done_) / done_) + " left";
  std::fprintf(stderr, "\r\033[K[%s] %3d%%%s %s", bar.c_str(), done_ * 100 / total_, left.c_str(),
               status_.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalObserver::WriteLine() {
  const long long now = NowMs();
  if (quietAtFirst_ && now - startMs_ < quietStartMs) return;
  const int tenth = done_ * 10 / total_;
  if (tenth == lastTenth_ && now - lastDrawMs_ < lineIntervalMs) return;
  if (done_ >= total_ && lastTenth_ == 10) return;
  lastTenth_ = tenth;
  lastDrawMs_ = now;
  std::string line = std::to_string(done_ * 100 / total_) + "%";
  const double elapsed = Elapsed();
  if (done_ > 0 && done_ < total_)
    line += ", " + Clock(elapsed * (total_ - done_) / done_) + " left";
  if (!status_.empty()) line += "  " + DisplayText(status_);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

void TerminalObserver::WriteJson(bool force) {
  const long long now = NowMs();
  if (!force && now - lastDrawMs_ < jsonIntervalMs && done_ < total_) return;
  lastDrawMs_ = now;
  const double elapsed = Elapsed();
  nlohmann::json object = {{"type", "progress"}};
  if (framesDone_ >= 0) {
    object["done"] = framesDone_;
    object["total"] = framesTotal_;
    object["unit"] = "frames";
    // From the encoder's start, as the status counts it: loading the media is no frame.
    const double encoding = static_cast<double>(now - framesStartMs_) / 1000;
    object["fps"] = Rounded(encoding > 0 ? static_cast<double>(framesDone_) / encoding : 0);
  } else {
    object["done"] = done_;
    object["total"] = total_;
    object["unit"] = "steps";
  }
  object["percent"] = done_ * 100 / total_;
  object["elapsed"] = Rounded(elapsed);
  if (done_ > 0) object["remaining"] = Rounded(elapsed * (total_ - done_) / done_);
  if (!status_.empty()) object["status"] = DisplayText(status_);
  WriteJsonLine(object);
}

int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout) {
  observer.Finish(result.Completed());
  const int exitCode = ExitCodeOf(result);
  // Names in messages are as stored (Shift-JIS); the terminal reads UTF-8.
  const std::string message = DisplayText(result.message);
  if (observer.Mode() == ProgressMode::Json) {
    const std::string software =
        result.chosenSoftware ? std::string(SoftwareName(*result.chosenSoftware)) : "";
    if (!software.empty())
      WriteJsonLine({{"type", "message"},
                     {"message", "software: \"" + software + "\" (chosen automatically)"}});
    for (const std::string& warning : result.warnings)
      WriteJsonLine({{"type", "warning"}, {"message", DisplayText(warning)}});
    nlohmann::json end = {{"type", "result"},
                          {"success", result.Completed()},
                          {"status", StatusName(result.status)},
                          {"exit", exitCode},
                          {"message", message}};
    if (!software.empty()) end["software"] = software;
    if (const auto* render = result.OutcomeAs<RenderOutcome>()) {
      end["frames"] = render->frames;
      end["seconds"] = Rounded(render->seconds);
    }
    if (const auto* check = result.OutcomeAs<CheckOutcome>()) end["missing"] = check->missingCount;
    WriteJsonLine(end);
    return exitCode;
  }
  if (Output().quiet) {
    if (!result.Completed()) std::cerr << message << "\n";
    return exitCode;
  }
  if (result.chosenSoftware)
    std::cerr << "software: \"" << SoftwareName(*result.chosenSoftware)
              << "\" (chosen automatically)\n";
  for (const std::string& warning : result.warnings)
    std::cerr << "warning: " << DisplayText(warning) << "\n";
  if (!result.Completed())
    std::cerr << message << "\n";
  else
    (quietStdout ? std::cerr : std::cout) << message << "\n";
  return exitCode;
}

void ReportFailure(const std::string& message, int exitCode) {
  if (progressMode != ProgressMode::Json) {
    std::cerr << message << "\n";
    return;
  }
  WriteJsonLine({{"type", "result"},
                 {"success", false},
                 {"status", "failed"},
                 {"exit", exitCode},
                 {"message", message}});
}

int ParseAndRun(CLI::App& app, std::vector<std::string>& arguments, const int& exitCode,
                const std::string& program) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    if (const std::string unknown = e.get_exit_code() == 0 ? "" : UnknownOptionMessage(app);
        !unknown.empty()) {
      std::cerr << unknown << "\n";
      return exitTrouble;
    }
    const int code = app.exit(e);
    return code == 0 ? 0 : exitTrouble;
  } catch (const std::bad_alloc&) {
    // The run's destinations were not replaced: the commit comes after all the work.
    ReportFailure(program + ": not enough memory for this run; nothing was written.", exitTrouble);
    return exitTrouble;
  } catch (const std::exception& e) {
    ReportFailure(program + ": the run failed: " + e.what() + "; nothing was written.",
                  exitTrouble);
    return exitTrouble;
  }
  return exitCode;
}

}  // namespace pexol::cli
