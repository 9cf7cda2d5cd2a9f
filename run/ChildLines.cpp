// run/ChildLines.cpp - progress, warnings and results as JSON lines, and back
#include "run/ChildLines.h"

#include <nlohmann/json.hpp>

namespace pexol {

namespace {

/// The last lines say most of how a child ended; a chatty one does not fill the message.
constexpr std::size_t maxNotes = 12;

// Seconds and rates to the hundredth: a reader wants no more, and the lines stay short.
double Rounded(double value) {
  return static_cast<double>(static_cast<long long>(value * 100 + 0.5)) / 100;
}

std::string Line(const nlohmann::json& object) {
  return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
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

RunResult::Status StatusNamed(const std::string& name) {
  if (name == "completed") return RunResult::Status::Completed;
  if (name == "stopped") return RunResult::Status::Stopped;
  return RunResult::Status::Failed;
}

constexpr std::pair<Remedy, std::string_view> remedyNames[] = {
    {Remedy::FindOrBlackOutMedia, "find-or-black-out-media"},
    {Remedy::RenameOrMapFolder, "rename-or-map-folder"},
};

Remedy RemedyNamed(const std::string& name) {
  for (const auto& [remedy, named] : remedyNames)
    if (name == named) return remedy;
  return Remedy::None;  // one a newer program knows: its message still says what happened
}

std::optional<Software> SoftwareNamed(const std::string& name) {
  for (const Software software : {Software::CorvaneBrisko, Software::Lumetta})
    if (name == SoftwareName(software)) return software;
  return std::nullopt;
}

}  // namespace

std::string ChildProgressLine(const ChildProgress& progress) {
  nlohmann::json object = {
      {"type", "progress"},          {"done", progress.done},
      {"total", progress.total},     {"unit", progress.frames ? "frames" : "steps"},
      {"percent", progress.percent}, {"elapsed", Rounded(progress.elapsed)}};
  if (progress.frames) object["fps"] = Rounded(progress.fps);
  if (progress.remaining) object["remaining"] = Rounded(*progress.remaining);
  if (!progress.status.empty()) object["status"] = progress.status;
  return Line(object);
}

std::string ChildWarningLine(std::string_view warning) {
  return Line({{"type", "warning"}, {"message", warning}});
}

std::string ChildSoftwareLine(Software software) {
  return Line({{"type", "message"},
               {"message", "software: \"" + std::string(SoftwareName(software)) +
                               "\" (chosen automatically)"}});
}

std::string ChildResultLine(const ChildEnding& ending) {
  nlohmann::json object = {{"type", "result"},
                           {"success", ending.status == RunResult::Status::Completed},
                           {"status", StatusName(ending.status)},
                           {"exit", ending.exitCode},
                           {"message", ending.message}};
  if (ending.software) object["software"] = SoftwareName(*ending.software);
  for (const auto& [remedy, name] : remedyNames)
    if (ending.remedy == remedy) object["remedy"] = name;
  if (ending.frames) {
    object["frames"] = *ending.frames;
    object["seconds"] = Rounded(ending.seconds);
  }
  if (ending.missing) object["missing"] = *ending.missing;
  return Line(object);
}

void ReadChildLine(std::string_view line, ChildReport& report) {
  const nlohmann::json object = nlohmann::json::parse(line.begin(), line.end(), nullptr, false);
  if (!object.is_object() || !object.contains("type")) {
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) return;
    if (report.notes.size() == maxNotes) report.notes.erase(report.notes.begin());
    report.notes.emplace_back(line);
    return;
  }
  // A field of another type than written (another program's line) reads as absent.
  const auto text = [&object](const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
  };
  const auto number = [&object](const char* key) -> std::optional<double> {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number()) return std::nullopt;
    return found->get<double>();
  };
  const std::string type = text("type");
  if (type == "progress") {
    report.percent = static_cast<int>(number("percent").value_or(0));
    report.status = text("status");
    if (text("unit") == "frames") {
      report.framesDone = static_cast<std::int64_t>(number("done").value_or(0));
      report.framesTotal = static_cast<std::int64_t>(number("total").value_or(0));
    }
  } else if (type == "warning") {
    report.result.warnings.push_back(text("message"));
  } else if (type == "result") {
    report.ended = true;
    report.result.status = StatusNamed(text("status"));
    report.result.message = text("message");
    report.result.chosenSoftware = SoftwareNamed(text("software"));
    report.result.remedy = RemedyNamed(text("remedy"));
    if (const auto frames = number("frames")) {
      report.resultFrames = static_cast<long long>(*frames);
      report.resultSeconds = number("seconds").value_or(0);
    }
  }
  // "message" objects repeat what the result holds (the software chosen).
}

}  // namespace pexol
