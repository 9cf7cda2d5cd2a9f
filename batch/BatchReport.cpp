// batch/BatchReport.cpp - the report assembled from result files alone, whoever ran the jobs
#include "batch/BatchReport.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/FileIo.h"
#include "core/OutputSet.h"
#include "core/Translation.h"
#include "core/XmlText.h"
#include "media/PathText.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

std::string Escaped(std::string_view text) {
  std::string out;
  AppendXmlEscaped(out, text, true);
  return out;
}

void List(std::string& html, const char* css, const std::vector<std::string>& items) {
  if (items.empty()) return;
  html += "<ul class=\"" + std::string(css) + "\">";
  for (const std::string& item : items) html += "<li>" + Escaped(item) + "</li>";
  html += "</ul>";
}

constexpr const char* style = R"(<style>
body { font: 14px sans-serif; margin: 1em; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #ccc; padding: 4px 6px; vertical-align: top; text-align: left; }
tr.failed td.status { background: #f4c7c3; }
tr.missing td.status { background: #fce8b2; }
tr.succeeded td.status { background: #b7e1cd; }
img { max-width: 480px; max-height: 140px; }
ul { margin: 0; padding-left: 1.2em; }
ul.failures { color: #a00; }
</style>
)";

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

std::string ReportHtml(const std::vector<JobResult>& results) {
  int counts[3] = {0, 0, 0};
  for (const JobResult& result : results) ++counts[static_cast<int>(result.status)];
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>pexol batch report</title>\n";
  html += style;
  html += "</head>\n<body>\n<h1>Batch report</h1>\n<p>" + std::to_string(results.size()) +
          " projects: " + std::to_string(counts[0]) + " succeeded, " + std::to_string(counts[1]) +
          " with missing media, " + std::to_string(counts[2]) + " failed.</p>\n";
  html +=
      "<table>\n<tr><th>Project</th><th>Status</th><th>Timeline</th><th>Clips</th>"
      "<th>Length</th><th>Missing media</th><th>Outputs</th><th>Warnings and failures</th></tr>\n";
  static constexpr const char* classes[] = {"succeeded", "missing", "failed"};
  for (const JobResult& result : results) {
    html += "<tr class=\"" + std::string(classes[static_cast<int>(result.status)]) + "\">";
    html +=
        "<td>" + Escaped(result.into) + "<br><small>" + Escaped(result.project) + "</small></td>";
    html += "<td class=\"status\">" + Escaped(StatusName(result.status)) + "</td><td>";
    if (!result.picture.empty())
      html += "<img src=\"" + Escaped(result.picture) + "\" alt=\"timeline of " +
              Escaped(result.into) + "\">";
    html += "</td><td>" + std::to_string(result.clips) + "</td><td>" + Escaped(result.length) +
            "</td><td>";
    List(html, "missing", result.missing);
    html += "</td><td>";
    for (const std::string& output : result.outputs)
      html += "<a href=\"" + Escaped(output) + "\">" +
              Escaped(Utf8OfPath(PathOfUtf8(output).filename())) + "</a><br>";
    html += "</td><td>";
    List(html, "failures", result.failures);
    List(html, "warnings", result.warnings);
    html += "</td></tr>\n";
  }
  html += "</table>\n</body>\n</html>\n";
  return html;
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

int BatchExitStatus(const std::vector<JobResult>& results) {
  int status = 0;
  for (const JobResult& result : results)
    status = std::max(status, result.status == JobStatus::Failed    ? 2
                              : result.status == JobStatus::Missing ? 1
                                                                    : 0);
  return status;
}

}  // namespace pexol
