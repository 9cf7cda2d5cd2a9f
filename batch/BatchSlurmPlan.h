// batch/BatchSlurmPlan.h - a batch as a Slurm job array, a project a task, and its report after
#pragma once

#include <optional>
#include <string>

#include "batch/RunBatch.h"
#include "run/SlurmScript.h"

namespace pexol {

/// The plan of `run`: each project's job (as `PlanBatch` prints it) a task of the array, then
/// `batch --report-only` once every task ended with a result, what it asks of a node estimated
/// from the options (a render or a transcode takes longer, and more cores and memory, than
/// exports). nullopt, with `error` set, when a folder cannot be read.
std::optional<SlurmPlan> BatchSlurmPlan(const BatchRun& run, std::string& error);

}  // namespace pexol
