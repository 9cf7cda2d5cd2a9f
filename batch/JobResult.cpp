// batch/JobResult.cpp - results to JSON and back with nlohmann-json
#include "batch/JobResult.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <stdexcept>

namespace pexol {

namespace {

using nlohmann::json;

constexpr std::string_view statusWords[] = {"succeeded", "missing", "failed"};

json ToJson(const JobResult& result) {
  return json{{"project", result.project},
              {"into", result.into},
              {"status", statusWords[static_cast<int>(result.status)]},
              {"software", result.software},
              {"clips", result.clips},
              {"frames", result.frames},
              {"length", result.length},
              {"missing", result.missing},
              {"outputs", result.outputs},
              {"picture", result.picture},
              {"warnings", result.warnings},
              {"failures", result.failures},
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
    result.frames = value.at("frames").get<long long>();
    result.length = value.at("length").get<std::string>();
    result.missing = value.at("missing").get<std::vector<std::string>>();
    result.outputs = value.at("outputs").get<std::vector<std::string>>();
    result.picture = value.at("picture").get<std::string>();
    result.warnings = value.at("warnings").get<std::vector<std::string>>();
    result.failures = value.at("failures").get<std::vector<std::string>>();
    result.options = value.at("options").get<std::string>();
    return result;
  } catch (const std::exception& e) {
    error = e.what();
    return std::nullopt;
  }
}

std::string ReportJson(std::span<const JobResult> results) {
  int counts[3] = {0, 0, 0};
  json projects = json::array();
  for (const JobResult& result : results) {
    ++counts[static_cast<int>(result.status)];
    projects.push_back(ToJson(result));
  }
  return Dump(json{{"projects", static_cast<int>(results.size())},
                   {"succeeded", counts[0]},
                   {"missing", counts[1]},
                   {"failed", counts[2]},
                   {"results", std::move(projects)}});
}

}  // namespace pexol
