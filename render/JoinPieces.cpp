// render/JoinPieces.cpp - placeholder until the join lands
#include "render/JoinPieces.h"

namespace pexol {

RunResult RunJoin(const JoinJob& job, RunObserver&) {
  return RunResult::Failed("join not yet: " + job.destination);
}

}  // namespace pexol
