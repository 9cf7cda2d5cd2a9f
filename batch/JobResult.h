// batch/JobResult.h - what one project's job did, as the file it leaves beside its outputs
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// A project's job: done, done with media missing, or failed.
enum class JobStatus { Succeeded, Missing, Failed };

/// The name of each job's result file in its outputs' folder.
inline constexpr const char* jobResultName = "pexol-result.json";

struct JobResult {
  std::string project;  ///< the project file
  std::string into;     ///< its outputs' folder below DIR
  JobStatus status = JobStatus::Failed;
  std::string software;              ///< the software the project was read as
  int clips = 0;                     ///< timeline items
  long long frames = 0;              ///< the timeline's length
  std::string length;                ///< the same as a timecode
  std::vector<std::string> missing;  ///< media names not found (UTF-8), each once
  std::vector<std::string> outputs;  ///< files written, relative to DIR
  std::string picture;               ///< the timeline picture, relative to DIR
  std::vector<std::string> warnings;
  std::vector<std::string> failures;  ///< one per output that failed, with its message
  /// The outputs the job was asked for (formats, text, render, maps, search folders), so that
  /// a result made with other options does not count as done.
  std::string options;
};

std::string_view StatusName(JobStatus status);  ///< "succeeded", "missing media", "failed"

/// The result as JSON text (UTF-8; bytes that are not become U+FFFD).
std::string ResultText(const JobResult& result);
/// The result a file's text holds; nullopt, with `error` set, when it is not one.
std::optional<JobResult> ParseResult(std::string_view text, std::string& error);

/// DIR/report.json's text: the totals and every result, in order.
std::string ReportJson(std::span<const JobResult> results);

}  // namespace pexol
