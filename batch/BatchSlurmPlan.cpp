// batch/BatchSlurmPlan.cpp - the projects' jobs as an array's tasks, the report after them
#include "batch/BatchSlurmPlan.h"

#include <set>

#include "batch/JobResult.h"
#include "batch/ProjectFinder.h"
#include "media/PathText.h"
#include "run/ProcessPool.h"

namespace pexol {

namespace {

std::string TaskResultFile(const BatchOptions& options, const BatchProject& project) {
  return Utf8OfPath(PathOfUtf8(options.out) / PathOfUtf8(project.into) / jobResultName);
}

// The folders every node reads or writes: the projects' (their media are found from them),
// DIR, and every folder media are looked for in.
std::vector<std::string> BatchSharedFolders(const BatchRun& run, const BatchOptions& options) {
  std::set<std::string> folders = {options.out};
  for (const std::string& folder : run.folders) folders.insert(AbsolutePath(folder));
  for (const std::string& rule : options.maps)
    if (const std::size_t equals = rule.find('='); equals != std::string::npos)
      folders.insert(rule.substr(equals + 1));
  folders.insert(options.searchFolders.begin(), options.searchFolders.end());
  folders.erase("");
  return {folders.begin(), folders.end()};
}

}  // namespace

std::optional<SlurmPlan> BatchSlurmPlan(const BatchRun& run, std::string& error) {
  const auto projects = FindProjects(run.folders, error);
  if (!projects) return std::nullopt;
  const BatchOptions options = SelfContained(run.options);
  SlurmPlan plan;
  plan.name = "pexol-batch";
  plan.program = run.program;
  plan.shared = BatchSharedFolders(run, options);
  // DIR is made here, where the plan runs, so that every node finds it.
  plan.prepare = {"mkdir -p -- " + ShellLine({options.out})};
  plan.about = {"pexol-cli batch of " + std::to_string(projects->size()) + " project(s) into " +
                    options.out + " on a Slurm cluster: sh THIS-FILE [SBATCH-OPTIONS]",
                "Each project's job is a task of a job array; the report is written once every "
                "task ended with a result."};
  for (const BatchProject& project : *projects) {
    std::vector<std::string> arguments = JobArguments(run.program, options, project);
    arguments.erase(arguments.begin());  // the program, which the task names itself
    plan.tasks.push_back({std::move(arguments), TaskResultFile(options, project)});
  }
  // A render here is one process for the whole timeline, with the encoder's own threads, at
  // the project's size; a transcode encodes every movie again. The timelines are not read to
  // plan, so their time is a long project's.
  const bool encodes = !options.render.empty() || options.transcode.kind != TranscodeKind::Copy;
  plan.taskDemand = encodes ? SlurmDemand{2, 1500, 240} : SlurmDemand{1, 500, 15};
  plan.demandFrom = encodes ? "a render or transcode of a long project (the timelines are not read)"
                            : "exports alone";
  plan.finish = {"\"$program\" batch --report-only --out " + ShellLine({options.out})};
  plan.finishDemand = {1, 500, 10};
  return plan;
}

}  // namespace pexol
