// cli/CliCommon.cpp - options, help layout, terminal progress and reporting for the command line
#include "cli/CliCommon.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "core/TextEncoding.h"
#include "core/TextScanner.h"

namespace pexol::cli {

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
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

}  // namespace

std::shared_ptr<CLI::Formatter> HelpFormatter() {
  return std::make_shared<GnuFormatter>();
}

void AddSoftwareOption(CLI::App& command, SoftwareChoice& choice) {
  static const std::map<std::string, int> names = {
      {"corvane", 0}, {"brisko", 0}, {"lumetta", 1}, {"auto", -1}};
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
      ->transform(CLI::CheckedTransformer(names, CLI::ignore_case).description(""))
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
      ->transform(CLI::CheckedTransformer(names, CLI::ignore_case).description(""))
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

std::map<std::string, TimecodeMode> RatedTimecodeNames() {
  std::map<std::string, TimecodeMode> rated;
  for (const TimecodeModeName& name : TimecodeModeNames())
    if (name.rated) rated.emplace(name.name, name.mode);
  return rated;
}

TerminalObserver::TerminalObserver(bool textToStdout)
    : enabled_(isatty(STDERR_FILENO) != 0 && !(textToStdout && isatty(STDOUT_FILENO) != 0)) {}

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

void TerminalObserver::Finish(bool completed) {
  if (!enabled_ || !drawn_) return;
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

void TerminalObserver::Draw(bool force) {
  if (!enabled_) return;
  const long long now = NowMs();
  if (!force && now - lastDrawMs_ < 50) return;  // a run of many records must not crawl
  lastDrawMs_ = now;
  constexpr int width = 30;
  const int filled = done_ * width / total_;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(width, '.');
  std::fprintf(stderr, "\r\033[K[%s] %3d%% %s", bar.c_str(), done_ * 100 / total_, status_.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout) {
  observer.Finish(result.Completed());
  if (result.chosenSoftware)
    std::cerr << "software: \"" << SoftwareName(*result.chosenSoftware)
              << "\" (chosen automatically)\n";
  for (const std::string& warning : result.warnings) std::cerr << "warning: " << warning << "\n";
  // Names in messages are as stored (Shift-JIS); the terminal reads UTF-8.
  const std::string message = DisplayText(result.message);
  if (!result.Completed()) {
    std::cerr << message << "\n";
    return exitTrouble;
  }
  (quietStdout ? std::cerr : std::cout) << message << "\n";
  return result.MissingCount() > 0 ? exitMissing : exitSuccess;
}

}  // namespace pexol::cli
