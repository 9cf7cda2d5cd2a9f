// batch/BatchReport.h - DIR/report.json and DIR/report.html from the jobs' result files
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/JobResult.h"

namespace pexol {

/// Every job result file under `out`, ordered by the project's folder; a file that cannot be
/// read or parsed becomes a warning in `problems`.
std::vector<JobResult> ReadJobResults(const std::string& out, std::vector<std::string>& problems);

/// Writes DIR/report.json and DIR/report.html (each replaced only when written whole); false,
/// with `error` set, when it cannot.
bool WriteBatchReport(const std::string& out, const std::vector<JobResult>& results,
                      std::string& error);

}  // namespace pexol
