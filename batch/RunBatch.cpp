// batch/RunBatch.cpp - the pool over the projects, the progress line and the closing report
#include "batch/RunBatch.h"

#include <filesystem>
#include <system_error>
#include <thread>

#include "batch/BatchReport.h"
#include "core/CountedText.h"
#include "core/FileIo.h"
#include "core/RunProgress.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "media/PathText.h"
#include "run/ChildReport.h"
#include "run/ProcessPool.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

std::string ResultPath(const BatchOptions& options, const BatchProject& project) {
  return Utf8OfPath(PathOfUtf8(options.out) / PathOfUtf8(project.into) / jobResultName);
}

std::optional<JobResult> ReadResult(const std::string& path) {
  std::string error;
  const auto bytes = ReadWholeFile(path, error);
  if (!bytes) return std::nullopt;
  return ParseResult(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     error);
}

void Count(BatchSummary& summary, const JobResult& result) {
  if (result.status == JobStatus::Succeeded) ++summary.succeeded;
  if (result.status == JobStatus::Missing) ++summary.missing;
  if (result.status == JobStatus::Failed) ++summary.failed;
}

void Close(BatchSummary& summary, const std::string& out) {
  summary.exitStatus = summary.failed > 0 || summary.stopped ? 2 : summary.missing > 0 ? 1 : 0;
  const std::string report = Utf8OfPath(PathOfUtf8(out) / "report.html");
  // One whole sentence for each way the batch can end, its form chosen by the projects' count.
  const auto said = [&](CountedText sentence) {
    return SayN(summary.projects, sentence, summary.projects, summary.succeeded, summary.missing,
                summary.failed, report, summary.skipped);
  };
  if (summary.stopped && summary.skipped > 0)
    summary.message = said(ToTranslateN(
        "batch stopped: {0} project: {1} succeeded, {2} with missing media, {3} failed ({5} done "
        "before, skipped); report: {4}",
        "batch stopped: {0} projects: {1} succeeded, {2} with missing media, {3} failed ({5} done "
        "before, skipped); report: {4}"));
  else if (summary.stopped)
    summary.message = said(ToTranslateN(
        "batch stopped: {0} project: {1} succeeded, {2} with missing media, {3} failed; report: "
        "{4}",
        "batch stopped: {0} projects: {1} succeeded, {2} with missing media, {3} failed; report: "
        "{4}"));
  else if (summary.skipped > 0)
    summary.message = said(ToTranslateN(
        "batch: {0} project: {1} succeeded, {2} with missing media, {3} failed ({5} done before, "
        "skipped); report: {4}",
        "batch: {0} projects: {1} succeeded, {2} with missing media, {3} failed ({5} done before, "
        "skipped); report: {4}"));
  else
    summary.message = said(ToTranslateN(
        "batch: {0} project: {1} succeeded, {2} with missing media, {3} failed; report: {4}",
        "batch: {0} projects: {1} succeeded, {2} with missing media, {3} failed; report: {4}"));
}

}  // namespace

std::vector<std::vector<std::string>> PlanBatch(const BatchRun& run, std::string& error) {
  const auto projects = FindProjects(run.folders, error);
  if (!projects) return {};
  const BatchOptions options = SelfContained(run.options);
  std::vector<std::vector<std::string>> jobs;
  for (const BatchProject& project : *projects)
    jobs.push_back(JobArguments(run.program, options, project));
  return jobs;
}

BatchSummary RunBatch(const BatchRun& run, RunObserver& observer,
                      const std::function<void(const JobResult&, bool skipped)>& finished) {
  BatchSummary summary;
  std::string error;
  const auto projects = FindProjects(run.folders, error);
  if (!projects) {
    summary.failed = 1;
    summary.exitStatus = 2;
    summary.message = Say("batch: nothing was done: {0}", error);
    return summary;
  }
  const BatchOptions options = SelfContained(run.options);
  summary.projects = static_cast<int>(projects->size());
  std::vector<std::size_t> pending;
  for (std::size_t i = 0; i < projects->size(); ++i) {
    const BatchProject& project = (*projects)[i];
    if (!options.force && JobIsDone(options, project)) {
      if (auto result = ReadResult(ResultPath(options, project))) {
        ++summary.skipped;
        Count(summary, *result);
        finished(*result, true);
        continue;
      }
    }
    // A result left from an earlier run must not pass for this one's; it is set aside for the
    // job to learn what that run made. One already aside is a job's that never finished, and
    // the result beside it at most the failure written for it.
    std::error_code ignored;
    const fs::path path = PathOfUtf8(ResultPath(options, project));
    const fs::path aside = path.parent_path() / earlierResultName;
    if (!fs::exists(aside, ignored)) fs::rename(path, aside, ignored);
    fs::remove(path, ignored);
    pending.push_back(i);
  }

  std::vector<std::vector<std::string>> jobs;
  for (const std::size_t i : pending)
    jobs.push_back(JobArguments(run.program, options, (*projects)[i]));
  const int parallel =
      run.jobs > 0 ? run.jobs : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  int done = 0;
  // The bar and its time left count the jobs this run does: projects done before take no
  // time, and would make the estimate run ahead.
  const auto status = [&](int running) {
    observer.Status(summary.skipped > 0
                        ? Say("[Batch] {0} / {1} done, {2} done before, {3} failed, {4} running",
                              done, jobs.size(), summary.skipped, summary.failed, running)
                        : Say("[Batch] {0} / {1} done, {2} failed, {3} running", done, jobs.size(),
                              summary.failed, running));
    const int total = std::max(1, static_cast<int>(jobs.size()));
    observer.Progress(
        jobs.empty() ? RunProgress::totalSteps : done * RunProgress::totalSteps / total,
        RunProgress::totalSteps);
  };
  bool stopping = false;
  PoolCalls calls;
  calls.finished = [&](std::size_t index, const ChildEnd& end) {
    const BatchProject& project = (*projects)[pending[index]];
    // A job killed for not stopping in time removed none of its temporary files.
    if (end.killed) RemoveStaleTemporariesOfChildren(ResultPath(options, project));
    auto result = ReadResult(ResultPath(options, project));
    if (!result) {
      if (stopping) return;  // stopped before it was done: the next run does it
      JobResult failed;
      failed.project = project.source;
      failed.into = project.into;
      failed.status = JobStatus::Failed;
      // The report is read by other programs: in English, whatever the user reads.
      failed.failures.push_back(HowChildEnded(end, run.program, true));
      std::string writeError;
      if (!WriteJobResult(options, failed, writeError)) summary.problems.push_back(writeError);
      result = std::move(failed);
    }
    ++done;
    Count(summary, *result);
    finished(*result, false);
  };
  calls.stop = [&] {
    stopping = stopping || observer.StopRequested();
    return stopping;
  };
  calls.running = [&](std::size_t running) { status(static_cast<int>(running)); };
  // A job asked to stop ends its own children first, which may take it two seconds and more.
  calls.stopGrace = std::chrono::seconds(5);
  const bool completed = RunInPool(jobs, parallel, calls);
  observer.Status("");
  summary.stopped = !completed;
  std::vector<std::string> problems;
  const std::vector<JobResult> all = ReadJobResults(options.out, problems);
  summary.problems.insert(summary.problems.end(), problems.begin(), problems.end());
  if (!WriteBatchReport(options.out, all, error)) summary.problems.push_back(error);
  Close(summary, options.out);
  return summary;
}

BatchSummary RunOneJob(const BatchOptions& options, const BatchProject& project,
                       const RunObserver& observer) {
  BatchSummary summary;
  summary.projects = 1;
  std::optional<JobResult> result;
  if (!options.force && JobIsDone(options, project)) {
    result = ReadResult(ResultPath(options, project));
    if (result) summary.skipped = 1;
  }
  if (!result) {
    result = RunBatchJob(options, project, observer);
    if (observer.StopRequested()) {
      summary.stopped = true;
    } else {
      std::string error;
      if (!WriteJobResult(options, *result, error)) {
        summary.problems.push_back(error);
        result->status = JobStatus::Failed;
      } else {
        // The new result names what is there now.
        std::error_code ignored;
        fs::remove(PathOfUtf8(ResultPath(options, project)).parent_path() / earlierResultName,
                   ignored);
      }
    }
  }
  Count(summary, *result);
  Close(summary, options.out);
  // The result file keeps the status's English name; the screen shows it translated.
  switch (result->status) {
    case JobStatus::Succeeded:
      summary.message = Say("succeeded: {0}", project.into);
      break;
    case JobStatus::Missing:
      summary.message = Say("missing media: {0}", project.into);
      break;
    case JobStatus::Failed:
      summary.message = Say("failed: {0}", project.into);
      break;
  }
  if (!result->failures.empty()) summary.message += ": " + result->failures.front();
  return summary;
}

BatchSummary AssembleReport(const std::string& out) {
  BatchSummary summary;
  const std::vector<JobResult> results = ReadJobResults(out, summary.problems);
  summary.projects = static_cast<int>(results.size());
  for (const JobResult& result : results) Count(summary, result);
  std::string error;
  if (!WriteBatchReport(out, results, error)) {
    summary.problems.push_back(error);
    ++summary.failed;
  }
  Close(summary, out);
  return summary;
}

}  // namespace pexol
