// batch/BatchReport.cpp - the report assembled from result files alone, whoever ran the jobs
#include "batch/BatchReport.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "batch/ReportPage.h"
#include "core/FileIo.h"
#include "core/OutputSet.h"
#include "core/Translation.h"
#include "media/PathText.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

}  // namespace

std::vector<JobResult> ReadJobResults(const std::string& out, std::vector<std::string>& problems) {
  std::vector<JobResult> results;
  std::error_code code;
  for (fs::recursive_directory_iterator it(PathOfUtf8(out), code), end; !code && it != end;
       it.increment(code)) {
    if (it->path().filename() != jobResultName || !it->is_regular_file(code)) continue;
    std::string error;
    const std::string path = Utf8OfPath(it->path());
    const auto bytes = ReadWholeFile(path, error);
    auto result = bytes ? ParseResult(std::string_view(reinterpret_cast<const char*>(bytes->data()),
                                                       bytes->size()),
                                      error)
                        : std::nullopt;
    if (!result) {
      problems.push_back(Say("\"{0}\" is no job result ({1}); left out", path, error));
      continue;
    }
    results.push_back(std::move(*result));
  }
  std::sort(results.begin(), results.end(),
            [](const JobResult& a, const JobResult& b) { return a.into < b.into; });
  return results;
}

bool WriteBatchReport(const std::string& out, const std::vector<JobResult>& results,
                      std::string& error) {
  OutputFile json;
  OutputFile html;
  const std::string jsonText = ReportJson(results);
  const std::string htmlText = ReportHtml(results);
  if (!json.Open(Utf8OfPath(PathOfUtf8(out) / "report.json"), error) ||
      !html.Open(Utf8OfPath(PathOfUtf8(out) / "report.html"), error))
    return false;
  const SetMember members[] = {{&json, jsonText}, {&html, htmlText}};
  const SetCommit commit = CommitSet(members, {});
  if (!commit.completed) error = "\"" + commit.failedPath + "\": " + commit.reason;
  return commit.completed;
}

}  // namespace pexol
