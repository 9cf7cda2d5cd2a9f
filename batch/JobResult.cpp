// batch/JobResult.cpp - results to JSON and back with nlohmann-json
#include "batch/JobResult.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <stdexcept>

#include "export/ExportFormats.h"

namespace pexol {

namespace {

using nlohmann::json;

constexpr std::string_view statusWords[] = {"succeeded", "missing", "failed"};

json WarningsJson(const std::vector<JobWarning>& warnings) {
  json list = json::array();
  for (const JobWarning& warning : warnings)
    list.push_back(json{{"message", warning.message}, {"concerns", warning.concerns}});
  return list;
}

/// An older result file's warning: "export otio: text", "text: ...", or a text of its own.
JobWarning WarningOfText(const std::string& text) {
  const std::size_t colon = text.find(": ");
  if (colon != std::string::npos) {
    const std::string_view what = std::string_view(text).substr(0, colon);
    const bool known =
        what == "text" || what == "render" || what == "collect" ||
        (what.starts_with("export ") && ExportFormatNamed(what.substr(7)) != nullptr);
    if (known) return {text.substr(colon + 2), {std::string(what)}};
  }
  return {text, {}};
}

/// `warning` added to `warnings`: its concerns joined to the same message's, else at the end.
void Merge(std::vector<JobWarning>& warnings, JobWarning warning) {
  const auto same = std::find_if(warnings.begin(), warnings.end(),
                                 [&](const JobWarning& w) { return w.message == warning.message; });
  if (same == warnings.end()) {
    warnings.push_back(std::move(warning));
    return;
  }
  for (std::string& what : warning.concerns)
    if (std::find(same->concerns.begin(), same->concerns.end(), what) == same->concerns.end())
      same->concerns.push_back(std::move(what));
}

std::vector<JobWarning> WarningsOf(const json& list) {
  std::vector<JobWarning> warnings;
  // Merged as they are made, so that an older file's lines read as today's do.
  for (const json& item : list)
    Merge(warnings, item.is_string()
                        ? WarningOfText(item.get<std::string>())
                        : JobWarning{item.at("message").get<std::string>(),
                                     item.at("concerns").get<std::vector<std::string>>()});
  return warnings;
}

json ToJson(const JobResult& result) {
  // A length that cannot be right is null, as is its timecode, rather than a number a reader
  // would add up.
  const json frames = result.frames ? json(*result.frames) : json(nullptr);
  const json length = result.frames ? json(result.length) : json(nullptr);
  return json{{"project", result.project},
              {"into", result.into},
              {"status", statusWords[static_cast<int>(result.status)]},
              {"software", result.software},
              {"clips", result.clips},
              {"frames", frames},
              {"length", length},
              {"missing", result.missing},
              {"missingReferences", result.missingReferences},
              {"outputs", result.outputs},
              {"picture", result.picture},
              {"warnings", WarningsJson(result.warnings)},
              {"failures", result.failures},
              {"removed", result.removed},
              {"options", result.options}};
}

std::string Dump(const json& value) {
  return value.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string_view StatusName(JobStatus status) {
  switch (status) {
    case JobStatus::Succeeded:
      return "succeeded";
    case JobStatus::Missing:
      return "missing media";
    case JobStatus::Failed:
      break;
  }
  return "failed";
}

void AddWarning(JobResult& result, std::string_view what, std::string message) {
  Merge(result.warnings, {std::move(message), {std::string(what)}});
}

std::string ResultText(const JobResult& result) {
  return Dump(ToJson(result));
}

std::optional<JobResult> ParseResult(std::string_view text, std::string& error) {
  try {
    const json value = json::parse(text);
    JobResult result;
    result.project = value.at("project").get<std::string>();
    result.into = value.at("into").get<std::string>();
    const std::string status = value.at("status").get<std::string>();
    const auto* word = std::find(std::begin(statusWords), std::end(statusWords), status);
    if (word == std::end(statusWords)) throw std::runtime_error("unknown status " + status);
    result.status = static_cast<JobStatus>(word - std::begin(statusWords));
    result.software = value.at("software").get<std::string>();
    result.clips = value.at("clips").get<int>();
    // A length that cannot be right is null (or left out).
    if (value.contains("frames") && !value.at("frames").is_null()) {
      result.frames = value.at("frames").get<long long>();
      result.length = value.at("length").get<std::string>();
    }
    result.missing = value.at("missing").get<std::vector<std::string>>();
    // Older files named each missing name once and counted no references.
    result.missingReferences = value.contains("missingReferences")
                                   ? value.at("missingReferences").get<int>()
                                   : static_cast<int>(result.missing.size());
    result.outputs = value.at("outputs").get<std::vector<std::string>>();
    result.picture = value.at("picture").get<std::string>();
    result.warnings = WarningsOf(value.at("warnings"));
    result.failures = value.at("failures").get<std::vector<std::string>>();
    if (value.contains("removed"))  // older files have none
      result.removed = value.at("removed").get<std::vector<std::string>>();
    result.options = value.at("options").get<std::string>();
    return result;
  } catch (const std::exception& e) {
    error = e.what();
    return std::nullopt;
  }
}

std::string ReportJson(std::span<const JobResult> results) {
  int counts[3] = {0, 0, 0};
  std::size_t removed = 0;
  json projects = json::array();
  for (const JobResult& result : results) {
    ++counts[static_cast<int>(result.status)];
    removed += result.removed.size();
    projects.push_back(ToJson(result));
  }
  return Dump(json{{"projects", static_cast<int>(results.size())},
                   {"succeeded", counts[0]},
                   {"missing", counts[1]},
                   {"failed", counts[2]},
                   {"removed", removed},
                   {"results", std::move(projects)}});
}

}  // namespace pexol
