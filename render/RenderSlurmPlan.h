// render/RenderSlurmPlan.h - a render's steps as a Slurm job array and the join that waits for it
#pragma once

#include <string>
#include <vector>

#include "render/RenderJob.h"
#include "render/RenderSteps.h"
#include "run/SlurmScript.h"

namespace pexol {

/// `job` with the project, the destination, the folders of --map and --search and the stills
/// folder absolute, so that its commands run from any folder on any node.
RenderJob SelfContainedRender(RenderJob job);

/// What one step asks of a node, estimated from its frames, the picture's size and codec: a
/// render keeps about one core busy (two for a render in one process, whose encoder has
/// threads of its own), its memory grows with the picture, its time is its frames at a
/// fraction of this machine's speed, and never under ten minutes.
SlurmDemand RenderDemand(const RenderJob& job, const RenderStep& step);

/// The plan of `steps` (`PlanRender`'s for `job`): the ranges and the sound as the array's
/// tasks, then the join and the removal of the pieces once every task succeeded; a render in
/// one process is one task. `program` is pexol-cli as the nodes run it.
SlurmPlan RenderSlurmPlan(const RenderJob& job, const std::vector<RenderStep>& steps,
                          const std::string& program);

}  // namespace pexol
