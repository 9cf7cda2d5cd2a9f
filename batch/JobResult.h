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
/// An earlier result a batch sets aside before it runs the job again (so that a job that ends
/// without its own leaves none to pass for it), for the job to learn what the earlier run made.
inline constexpr const char* earlierResultName = "pexol-result.earlier.json";

/// One warning of a job, once however many of its outputs gave it.
struct JobWarning {
  std::string message;
  /// What gave it, in the order first heard: "picture", "export otio", "text", "render",
  /// "collect", "removal"; empty for a warning read from an older result file that named none.
  std::vector<std::string> concerns;
  friend bool operator==(const JobWarning&, const JobWarning&) = default;
};

struct JobResult {
  std::string project;  ///< the project file
  std::string into;     ///< its outputs' folder below DIR
  JobStatus status = JobStatus::Failed;
  std::string software;  ///< the software the project was read as
  int clips = 0;         ///< the project's clips (`ClipCount`)
  /// The timeline's length; none when the project's positions cannot be right (a negative
  /// position, a day or more), and then `length` is empty.
  std::optional<long long> frames;
  std::string length;  ///< the same as a timecode
  /// The missing media files, each named once (UTF-8) by the first reference to it; and the
  /// references to them, as the check counts them (`MediaCount`).
  std::vector<std::string> missing;
  int missingReferences = 0;
  std::vector<std::string> outputs;  ///< files written, relative to DIR
  std::string picture;               ///< the timeline picture, relative to DIR
  std::vector<JobWarning> warnings;
  std::vector<std::string> failures;  ///< one per output that failed, with its message
  /// Outputs of an earlier run that this one no longer makes, removed (relative to DIR).
  std::vector<std::string> removed;
  /// The outputs the job was asked for (formats, text, render, maps, search folders), so that
  /// a result made with other options does not count as done.
  std::string options;
};

std::string_view StatusName(JobStatus status);  ///< "succeeded", "missing media", "failed"

/// Adds `message` as given by `what`: a new warning, or `what` added to the same message's.
void AddWarning(JobResult& result, std::string_view what, std::string message);

/// The result as JSON text (UTF-8; bytes that are not become U+FFFD).
std::string ResultText(const JobResult& result);
/// The result a file's text holds; nullopt, with `error` set, when it is not one. Older
/// files' warnings, texts such as "export otio: ...", are read with that prefix as their concern.
std::optional<JobResult> ParseResult(std::string_view text, std::string& error);

/// DIR/report.json's text: the totals and every result, in order.
std::string ReportJson(std::span<const JobResult> results);

}  // namespace pexol
