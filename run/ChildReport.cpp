// run/ChildReport.cpp - JSON progress lines back into progress, warnings and a result
#include "run/ChildReport.h"

#include <cstring>
#include <nlohmann/json.hpp>

#include "core/FileReplace.h"
#include "core/Translation.h"

namespace pexol {

namespace {

/// The last lines say most of how a child ended; a chatty one does not fill the message.
constexpr std::size_t maxNotes = 12;

std::optional<Software> SoftwareNamed(const std::string& name) {
  for (const Software software : {Software::CorvaneBrisko, Software::Lumetta})
    if (name == SoftwareName(software)) return software;
  return std::nullopt;
}

RunResult::Status StatusNamed(const std::string& name) {
  if (name == "completed") return RunResult::Status::Completed;
  if (name == "stopped") return RunResult::Status::Stopped;
  return RunResult::Status::Failed;
}

}  // namespace

void ReadChildLine(std::string_view line, ChildReport& report) {
  const nlohmann::json object = nlohmann::json::parse(line.begin(), line.end(), nullptr, false);
  if (!object.is_object() || !object.contains("type")) {
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) return;
    if (report.notes.size() == maxNotes) report.notes.erase(report.notes.begin());
    report.notes.emplace_back(line);
    return;
  }
  const std::string type = object.value("type", "");
  if (type == "progress") {
    report.percent = object.value("percent", 0);
    report.status = object.value("status", "");
    if (object.value("unit", "") == "frames") {
      report.framesDone = object.value("done", std::int64_t{0});
      report.framesTotal = object.value("total", std::int64_t{0});
    }
  } else if (type == "warning") {
    report.result.warnings.push_back(object.value("message", ""));
  } else if (type == "result") {
    report.ended = true;
    report.result.status = StatusNamed(object.value("status", "failed"));
    report.result.message = object.value("message", "");
    report.result.chosenSoftware = SoftwareNamed(object.value("software", ""));
    if (object.contains("frames")) {
      report.resultFrames = object.value("frames", 0LL);
      report.resultSeconds = object.value("seconds", 0.0);
    }
  }
  // "message" objects repeat what the result holds (the software chosen).
}

RunResult ChildResult(ChildReport report, const ChildEnd& end, std::string_view headline,
                      const std::string& program) {
  if (report.ended) return std::move(report.result);
  std::string message = std::string(Tr(headline)) + "\n\n";
  if (!end.started) {
    message += end.startError != 0 ? Say("The process {0} could not be started: {1}.", program,
                                         platform::ErrorText(end.startError))
                                   : Say("The process {0} could not be started.", program);
  } else if (end.killed) {
    message +=
        Say("The process {0} did not end when it was asked to stop, and was killed.", program);
  } else if (end.signal != 0) {
    const char* name = ::strsignal(end.signal);
    message +=
        name != nullptr
            ? Say("The process {0} was ended by signal {1} ({2}).", program, end.signal, name)
            : Say("The process {0} was ended by signal {1}.", program, end.signal);
  } else {
    message += Say("The process {0} ended with exit status {1} without saying how it went.",
                   program, end.exitCode);
  }
  if (!report.notes.empty()) {
    message += "\n\n" + std::string(Tr("It said:"));
    for (const std::string& note : report.notes) message += "\n" + note;
  }
  return RunResult::Failed(std::move(message));
}

}  // namespace pexol
