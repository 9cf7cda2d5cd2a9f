// cli/CliCommon.cpp - software choice, terminal progress and reporting for the command line
#include "cli/CliCommon.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>


namespace pexol::cli {

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

const std::map<std::string, int>& SoftwareNames() {
  static const std::map<std::string, int> names = {{"corvane", 0}, {"lumetta", 1}, {"auto", -1}};
  return names;
}

const std::map<std::string, TimecodeMode>& TimecodeNames() {
  static const std::map<std::string, TimecodeMode> names = {
      {"ntsc-drop", TimecodeMode::NtscDrop},
      {"pal", TimecodeMode::Pal},
      {"frame", TimecodeMode::Frame},
      {"ntsc-nondrop", TimecodeMode::NtscNonDrop}};
  return names;
}

TerminalObserver::TerminalObserver() : enabled_(isatty(STDERR_FILENO) != 0) {}

TerminalObserver::~TerminalObserver() {
  if (enabled_ && drawn_) std::fputs("\r\033[K", stderr);
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

int Report(const RunResult& result, bool quietStdout) {
  if (result.chosenSoftware)
    std::cerr << "software: \"" << SoftwareName(*result.chosenSoftware)
              << "\" (chosen automatically)\n";
  if (!result.Completed()) {
    std::cerr << result.message << "\n";
    return exitTrouble;
  }
  (quietStdout ? std::cerr : std::cout) << result.message << "\n";
  return result.missingCount > 0 ? exitMissing : exitSuccess;
}

}  // namespace pexol::cli
