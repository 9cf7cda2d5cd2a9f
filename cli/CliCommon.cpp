// cli/CliCommon.cpp - options, help layout, terminal progress and reporting for the command line
#include "cli/CliCommon.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <new>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "check/CheckOutcome.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
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
    // CLI11's own words in the help; the groups' names come from the options and commands.
    for (const std::string_view key :
         {ToTranslate("Usage"), ToTranslate("OPTIONS"), ToTranslate("SUBCOMMAND"),
          ToTranslate("SUBCOMMANDS"), ToTranslate("Positionals")})
      label(std::string(key), std::string(Tr(key)));
    column_width(34);
  }
  // The groups CLI11 names: the options' ("Options", or the positionals' label) and the
  // commands'.
  std::string make_group(std::string group, bool positional,
                         std::vector<const CLI::Option*> options) const override {
    static_cast<void>(ToTranslate("Options"));
    return CLI::Formatter::make_group(std::string(Tr(group)), positional, std::move(options));
  }
  std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
    std::string text = CLI::Formatter::make_subcommands(app, mode);
    const std::string english = "\nSubcommands:\n";
    if (text.starts_with(english))
      text.replace(0, english.size(), "\n" + std::string(Tr("Subcommands")) + ":\n");
    return text;
  }
  std::string make_option_opts(const CLI::Option* option) const override {
    return option->get_option_text();
  }
  // Descriptions wrap at 79 columns; the help writer indents each line it is given.
  std::string make_option_desc(const CLI::Option* option) const override {
    const std::string& text = option->get_description();
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? Wrap(text, 79 - get_column_width()) : WrapWide(text, 79 - get_column_width());
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

  // A translation's lines: CJK characters take two columns, and a line may break between two
  // of them (but not before closing punctuation nor after opening), or at a space.
  static std::string WrapWide(const std::string& text, std::size_t width) {
    struct Piece {
      std::string text;
      std::size_t columns = 0;
      bool wide = false;
      bool spaceBefore = false;
    };
    std::vector<Piece> pieces;
    bool space = false;
    for (std::size_t at = 0; at < text.size();) {
      const auto lead = static_cast<unsigned char>(text[at]);
      if (lead == ' ') {
        space = true;
        ++at;
        continue;
      }
      const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      const std::string character = text.substr(at, length);
      at += length;
      const bool wide = IsWide(character);
      // Narrow characters gather into words; each wide one stands alone.
      if (!pieces.empty() && !space && !wide && !pieces.back().wide) {
        pieces.back().text += character;
        pieces.back().columns += 1;
      } else {
        pieces.push_back({character, wide ? 2u : 1u, wide, space});
      }
      space = false;
    }
    static constexpr std::string_view noLineStart[] = {"、", "。", "，", "．", "）", "」", "』",
                                                       "】", "ー", "：", "；", "？", "！", "・"};
    static constexpr std::string_view noLineEnd[] = {"（", "「", "『", "【"};
    const auto among = [](const std::string& piece, const auto& list) {
      return std::find(std::begin(list), std::end(list), piece) != std::end(list);
    };
    std::string wrapped;
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Piece& piece = pieces[i];
      const std::size_t gap = lineLength > 0 && piece.spaceBefore ? 1 : 0;
      const bool breakable = piece.spaceBefore || piece.wide || (i > 0 && pieces[i - 1].wide);
      const bool allowed = i > 0 && breakable && !among(piece.text, noLineStart) &&
                           !among(pieces[i - 1].text, noLineEnd);
      if (lineLength > 0 && allowed && lineLength + gap + piece.columns > width) {
        wrapped += '\n';
        lineLength = 0;
      } else if (gap > 0) {
        wrapped += ' ';
        ++lineLength;
      }
      wrapped += piece.text;
      lineLength += piece.columns;
    }
    return wrapped;
  }

  // Two columns on a terminal: CJK, kana, Hangul and the full-width forms.
  static bool IsWide(const std::string& character) {
    if (character.size() < 3) return false;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    const unsigned point = character.size() == 3 ? ((byte(0) & 0x0Fu) << 12) |
                                                       ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu)
                                                 : 0x20000;
    return (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
           (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
           (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
           (point >= 0xFFE0 && point <= 0xFFE6) || point >= 0x20000;
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
                      std::string(Tr("print nothing but errors (on standard error): no progress, "
                                     "no warnings, no completion message")));
}

void AddJsonOption(CLI::App& command) {
  command.add_flag("--json", Output().json,
                   std::string(Tr("print the summary as one JSON document on standard output "
                                  "(its fields are in pexol-cli(1)); errors still go to standard "
                                  "error")));
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
  std::string message = Say("pexol-cli: there is no command \"{0}\".", Printable(given));
  // A suggestion far from what was typed would only mislead.
  if (!nearest.empty() && best <= std::max<std::size_t>(2, nearest.size() / 3))
    message += Say(" Did you mean \"{0}\"?", nearest);
  return message + "\n" + std::string(Tr("Run 'pexol-cli --help' for the commands."));
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
        Say("pexol-cli: there is no option \"{0}\" for {1}.", Printable(given), name);
    // The same bound as for a command: a far suggestion would only mislead.
    if (!nearest.empty() && best <= std::max<std::size_t>(2, nearest.size() / 3))
      message += Say(" Did you mean \"{0}\"?", nearest);
    return message + "\n" + Say("Run 'pexol-cli {0} --help' for its options.", name);
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
          std::string(Tr("which application wrote the project: corvane (or brisko), lumetta, or "
                         "auto (the default): the one that reads the project exactly to its "
                         "end")))
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
            throw CLI::ValidationError(
                "--timecode", why.empty()
                                  ? Say("\"{0}\" is not one of {1}", given, words)
                                  : Say("\"{0}\" is not one of {1}; {2}", given, words, why));
          },
          Say("timecodes and rate: {0} (default ntsc-drop)", words))
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
                  !what.empty()
                      ? what
                      : std::string(Tr("text encoding of names, titles, fonts and labels in the "
                                       "text file: shift-jis (the default, the projects' own) or "
                                       "utf-8; a text that starts with a UTF-8 byte-order mark is "
                                       "read as utf-8")))
      ->transform(Choices(names))
      ->option_text("=NAME");
}

void AddMapOption(CLI::App& command, std::vector<std::string>& rules, const std::string& what) {
  command.add_option("--map", rules, what)->option_text("='PREFIX=FOLDER'")->take_all();
}

void AddSearchOption(CLI::App& command, std::vector<std::string>& folders) {
  command
      .add_option("--search", folders,
                  std::string(Tr("look for media not found by name in this folder and every "
                                 "folder in it, by file name without regard to case "
                                 "(repeatable)")))
      ->option_text("=FOLDER")
      ->take_all();
}

CLI::Option* AddPlanOption(CLI::App& command, std::string& target, const std::string& what) {
  const auto known = [](std::string& value) -> std::string {
    if (value == "true" || value == "slurm") return {};
    return Say("give --plan alone or --plan=slurm, not --plan={0}", value);
  };
  return command.add_flag("--plan", target, what)
      ->check(CLI::Validator(known, "", "plan"))
      ->option_text("[=slurm]");
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

std::string OneOf(const std::vector<std::string>& items) {
  if (items.size() < 2) return items.empty() ? std::string() : items.front();
  std::string head;
  for (std::size_t i = 0; i + 1 < items.size(); ++i) head += (i == 0 ? "" : ", ") + items[i];
  return Say("{0} or {1}", head, items.back());
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
                     std::string(Tr("how progress shows on standard error: none, lines (a line "
                                    "at every tenth and every few seconds) or json (one JSON "
                                    "object a line, ending with the result); by default a bar on "
                                    "a terminal, otherwise a line now and then")))
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
    left = Say(", {0} left", Clock(Elapsed() * (total_ - done_) / done_));
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
    line += Say(", {0} left", Clock(elapsed * (total_ - done_) / done_));
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
    std::cerr << Say("software: \"{0}\" (chosen automatically)",
                     SoftwareName(*result.chosenSoftware))
              << "\n";
  for (const std::string& warning : result.warnings)
    std::cerr << Say("warning: {0}", DisplayText(warning)) << "\n";
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

namespace {

// CLI11's message for a parse error, in the chosen language where its form is known; the
// English templates give CLI11's own words byte for byte.
std::string ParseErrorText(const CLI::Error& error) {
  const std::string what = error.what();
  std::smatch match;
  const auto is = [&](const char* pattern) {
    return std::regex_match(what, match, std::regex(pattern));
  };
  const std::string kind = error.get_name();
  if (kind == "RequiredError" && what == "A subcommand is required")
    return std::string(Tr("A subcommand is required"));
  if (kind == "RequiredError" && is("(.+) is required"))
    return Say("{0} is required", match[1].str());
  if (kind == "ExtrasError" && is("The following argument was not expected: (.*)"))
    return Say("The following argument was not expected: {0}", match[1].str());
  if (kind == "ExtrasError" && is("The following arguments were not expected: (.*)"))
    return Say("The following arguments were not expected: {0}", match[1].str());
  if (kind == "RequiresError" && is("(\\S+) requires (\\S+)"))
    return Say("{0} requires {1}", match[1].str(), match[2].str());
  if (kind == "ExcludesError" && is("(\\S+) excludes (\\S+)"))
    return Say("{0} excludes {1}", match[1].str(), match[2].str());
  if (kind == "ArgumentMismatch" && is("(\\S+): 1 required (\\S+) missing"))
    return Say("{0}: 1 required {1} missing", match[1].str(), match[2].str());
  // CLI11 says a positive number's range up to the largest double, in full: a translation
  // says what it means.
  constexpr std::string_view positive = ToTranslate("{0}: {1} is not a number greater than 0");
  if (Tr(positive).data() != positive.data() && kind == "ValidationError" &&
      is("(\\S+): Value (\\S+) not in range 0\\.0+ to \\d{300,}\\.0+"))
    return Say(positive, match[1].str(), match[2].str());
  if (kind == "ValidationError" && is("(\\S+): Value (\\S+) not in range (\\S+) to (\\S+)"))
    return Say("{0}: Value {1} not in range {2} to {3}", match[1].str(), match[2].str(),
               match[3].str(), match[4].str());
  // A value outside a set: English keeps CLI11's words, which show the set as its code holds
  // it; a translation names the values alone.
  constexpr std::string_view outside = ToTranslate("{0}: \"{1}\" is not one of {2}");
  const bool translated = Tr(outside).data() != outside.data();
  if (translated && kind == "ValidationError" &&
      (is("(\\S+): Check (.*) value in \\{([^}]*)\\}.* FAILED") ||
       is("(\\S+): (.*) not in \\{([^}]*)\\}"))) {
    std::vector<std::string> values;
    std::stringstream list(match[3].str());
    for (std::string value; std::getline(list, value, ',');)
      values.push_back(value.substr(0, value.find("->")));
    return Say(outside, match[1].str(), match[2].str(), OneOf(values));
  }
  if (kind == "ConversionError" && is("The value (.*) is not an allowed value for (\\S+)"))
    return Say("The value {0} is not an allowed value for {1}", match[1].str(), match[2].str());
  if (kind == "ConversionError" && is("Could not convert: (\\S+) = (.*)"))
    return Say("Could not convert: {0} = {1}", match[1].str(), match[2].str());
  return what;
}

// CLI11's simple failure message, translated.
std::string FailureMessage(const CLI::App* app, const CLI::Error& error) {
  std::string text = ParseErrorText(error) + "\n";
  if (app->get_help_ptr() != nullptr)
    text += Say("Run with {0} for more information.", app->get_help_ptr()->get_name()) + "\n";
  return text;
}

}  // namespace

int ParseAndRun(CLI::App& app, std::vector<std::string>& arguments, const int& exitCode,
                const std::string& program) {
  app.failure_message(FailureMessage);
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
    ReportFailure(Say("{0}: not enough memory for this run; nothing was written.", program),
                  exitTrouble);
    return exitTrouble;
  } catch (const std::exception& e) {
    ReportFailure(Say("{0}: the run failed: {1}; nothing was written.", program, e.what()),
                  exitTrouble);
    return exitTrouble;
  }
  return exitCode;
}

}  // namespace pexol::cli
