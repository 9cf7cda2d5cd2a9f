// batch/RunBatch.h - every project of some folders done by child processes, then the report
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/BatchJob.h"
#include "core/RunObserver.h"

namespace pexol {

struct BatchRun {
  std::vector<std::string> folders;
  BatchOptions options;
  int jobs = 0;         ///< projects at once; 0 for the number of cores
  std::string program;  ///< the pexol-cli that runs each job
};

struct BatchSummary {
  int projects = 0;
  int skipped = 0;  ///< done before, with these options, and not changed since
  int succeeded = 0;
  int missing = 0;
  int failed = 0;
  bool stopped = false;
  int exitStatus = 0;                 ///< 0, 1 (media missing) or 2 (a failure, a stop)
  std::vector<std::string> problems;  ///< what went wrong around the jobs (unreadable results)
  std::string message;                ///< the closing line
};

/// The jobs of a batch, one command line per project (every project: a job that is done skips
/// itself unless --force). Empty, with `error` set, when a folder cannot be read.
std::vector<std::vector<std::string>> PlanBatch(const BatchRun& run, std::string& error);

/// Runs the jobs that are not done yet in a pool of `jobs` child processes, each writing its
/// own result file; a child that ends without one gets a failed result. Then writes the
/// report from every result under DIR. `finished` hears of each project as it ends (or is
/// found done); `observer` gets a status line over the whole batch and is asked whether to
/// stop, which stops the running children and leaves the finished ones in place.
BatchSummary RunBatch(const BatchRun& run, RunObserver& observer,
                      const std::function<void(const JobResult&, bool skipped)>& finished);

/// One project's job in this process, as a planned command line runs it: skipped when done
/// (unless `options.force`), else done and its result file written.
BatchSummary RunOneJob(const BatchOptions& options, const BatchProject& project,
                       const RunObserver& observer);

/// The report from the result files under `out` alone, as after jobs run elsewhere.
BatchSummary AssembleReport(const std::string& out);

}  // namespace pexol
