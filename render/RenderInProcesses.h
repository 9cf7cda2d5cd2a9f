// render/RenderInProcesses.h - a render run by the render program in processes of its own: one,
// or ranges side by side joined into one file
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunObserver.h"
#include "render/RenderJob.h"
#include "render/RenderSteps.h"
#include "run/RunResult.h"

namespace pexol {

/// Reads the project for the frames `job` renders and plans its steps (`PlanRenderSteps`).
/// nullopt, with `failure` set to the failed run, when the job or the project is refused.
std::optional<std::vector<RenderStep>> PlanRender(const RenderJob& job, RunResult& failure);

/// Renders `job` through the render program: in one process when it has one step, as
/// `RunRender` does there; otherwise its ranges side by side (`job.jobs` at a time) with the
/// sound beside them, then joined, every piece removed however it ends. Progress, warnings,
/// the stop and the result are the render's own, as one process would report them; a range
/// that fails stops the others and fails the render, naming the range.
RunResult RunRenderInProcesses(const RenderJob& job, RunObserver& observer);

/// Joins the pieces of `job` in the render program, which has FFmpeg's libraries, and reports
/// its run as this process's.
RunResult RunJoinInProcess(const JoinJob& job, RunObserver& observer);

}  // namespace pexol
