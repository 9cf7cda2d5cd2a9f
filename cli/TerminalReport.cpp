// cli/TerminalReport.cpp - what a run shows on the terminal: its progress (a bar, lines or JSON)
// and its result
#include "cli/CliCommon.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "check/CheckOutcome.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
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

}  // namespace pexol::cli
