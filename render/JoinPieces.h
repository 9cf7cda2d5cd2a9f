// render/JoinPieces.h - the ranges of a render and its sound copied into one file
#pragma once

#include "core/RunObserver.h"
#include "render/RenderJob.h"
#include "run/RunResult.h"

namespace pexol {

RunResult RunJoin(const JoinJob& job, RunObserver& observer);

}  // namespace pexol
