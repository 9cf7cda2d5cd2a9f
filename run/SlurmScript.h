// run/SlurmScript.h - a plan of command lines as one shell script that submits them to Slurm:
// a job array, then one job that runs once every task of it succeeded
#pragma once

#include <string>
#include <vector>

namespace pexol {

/// What a job asks of a node.
struct SlurmDemand {
  int cpus = 1;
  long long megabytes = 500;
  long long minutes = 10;
};

/// One task of the array: `arguments` after the program.
struct SlurmTask {
  std::vector<std::string> arguments;
  /// A file in which the command records its outcome, whatever that is (a project that failed
  /// included): the task succeeds when the command wrote it anew, or when the command
  /// succeeded (status 0, or 1 for some media missing). Empty: the task's status is the
  /// command's.
  std::string resultFile = {};
};

struct SlurmPlan {
  std::string name;                  ///< the jobs' name in the queue: "pexol-render"
  std::vector<std::string> about;    ///< what the plan does, the script's first comment lines
  std::string program;               ///< pexol-cli as every node runs it; PEXOL_CLI overrides
  std::vector<std::string> shared;   ///< folders every node must see at the same paths
  std::vector<std::string> prepare;  ///< shell lines run before submitting: folders made
  std::vector<SlurmTask> tasks;      ///< the array, one task each
  SlurmDemand taskDemand;            ///< each task's; PEXOL_SLURM_CPUS, _MEMORY, _TIME override
  std::string demandFrom;            ///< what `taskDemand` was estimated from, for a comment
  std::vector<std::string> finish;   ///< shell lines run once every task succeeded; none: no job
  SlurmDemand finishDemand;
};

/// The script, for `sh`: it submits the array with `sbatch --array`, then the finishing job
/// with `--dependency=afterok` on it (cancelled when a task fails), passing the script's own
/// arguments to both sbatch commands, and prints the jobs' numbers. Each task first checks
/// that its node sees every shared folder and the program, saying which is missing.
std::string SlurmScript(const SlurmPlan& plan);

}  // namespace pexol
