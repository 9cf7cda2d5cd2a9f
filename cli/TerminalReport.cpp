// cli/TerminalReport.cpp - what a run shows on the terminal: its progress (a bar, lines or JSON)
// and its result
#include "cli/CliCommon.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "check/CheckOutcome.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "render/RenderOutcome.h"
#include "run/ChildLines.h"

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

/// One JSON line on standard error.
void WriteJsonLine(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

std::string Clock(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

}  // namespace

int ExitCodeOf(const RunResult& result) {
  if (!result.Completed()) return exitTrouble;
  return MissingCount(result) > 0 ? exitMissing : exitSuccess;
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
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d", done_ * 100 / total_);
  const std::string done =
      now - startMs_ >= quietStartMs && done_ > 0 && done_ < total_
          ? Say("{0}%, {1} left", percent, Clock(Elapsed() * (total_ - done_) / done_))
          : std::string(percent) + "%";
  std::fprintf(stderr, "\r\033[K[%s] %s %s", bar.c_str(), done.c_str(), status_.c_str());
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
  const std::string percent = std::to_string(done_ * 100 / total_);
  const double elapsed = Elapsed();
  std::string line = done_ > 0 && done_ < total_
                         ? Say("{0}%, {1} left", percent, Clock(elapsed * (total_ - done_) / done_))
                         : percent + "%";
  if (!status_.empty()) line += "  " + DisplayText(status_);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

void TerminalObserver::WriteJson(bool force) {
  const long long now = NowMs();
  if (!force && now - lastDrawMs_ < jsonIntervalMs && done_ < total_) return;
  lastDrawMs_ = now;
  ChildProgress progress;
  progress.elapsed = Elapsed();
  if (framesDone_ >= 0) {
    progress.done = framesDone_;
    progress.total = framesTotal_;
    progress.frames = true;
    // From the encoder's start, as the status counts it: loading the media is no frame.
    const double encoding = static_cast<double>(now - framesStartMs_) / 1000;
    progress.fps = encoding > 0 ? static_cast<double>(framesDone_) / encoding : 0;
  } else {
    progress.done = done_;
    progress.total = total_;
  }
  progress.percent = done_ * 100 / total_;
  if (done_ > 0) progress.remaining = progress.elapsed * (total_ - done_) / done_;
  progress.status = DisplayText(status_);
  WriteJsonLine(ChildProgressLine(progress));
}

int Report(const RunResult& result, TerminalObserver& observer, bool quietStdout) {
  observer.Finish(result.Completed());
  const int exitCode = ExitCodeOf(result);
  if (observer.Mode() == ProgressMode::Json) {
    // The program that reads these lines words the remedy in its own terms.
    if (result.chosenSoftware) WriteJsonLine(ChildSoftwareLine(*result.chosenSoftware));
    for (const std::string& warning : result.warnings)
      WriteJsonLine(ChildWarningLine(DisplayText(warning)));
    ChildEnding ending;
    ending.status = result.status;
    ending.exitCode = exitCode;
    ending.message = DisplayText(result.message);
    ending.software = result.chosenSoftware;
    ending.remedy = result.remedy;
    if (const auto* render = result.OutcomeAs<RenderOutcome>()) {
      ending.frames = render->frames;
      ending.seconds = render->seconds;
    }
    if (const auto* check = result.OutcomeAs<CheckOutcome>()) ending.missing = check->missingCount;
    WriteJsonLine(ChildResultLine(ending));
    return exitCode;
  }
  const std::string message = MessageWithRemedy(result);
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
  ChildEnding ending;
  ending.exitCode = exitCode;
  ending.message = message;
  WriteJsonLine(ChildResultLine(ending));
}

std::string MessageWithRemedy(const RunResult& result) {
  // Names in messages are as stored (Shift-JIS); the terminal reads UTF-8.
  std::string message = DisplayText(result.message);
  switch (result.remedy) {
    case Remedy::FindOrBlackOutMedia:
      return WithRemedyWords(std::move(message),
                             Tr("Find them with --map and --search (see 'pexol-cli check'), or "
                                "render black and silence in their place with --missing black."));
    case Remedy::RenameOrMapFolder:
      return WithRemedyWords(std::move(message),
                             Tr("Rename the folder or file, or name another with --map."));
    case Remedy::None:
      break;
  }
  return message;
}

}  // namespace pexol::cli
