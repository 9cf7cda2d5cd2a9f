// render/RenderSlurmPlan.cpp - the ranges and the sound as an array's tasks, the join after them
#include "render/RenderSlurmPlan.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "media/PathText.h"
#include "run/ProcessPool.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

std::string Absolute(const std::string& path) {
  std::error_code code;
  return Utf8OfPath(fs::absolute(PathOfUtf8(path), code).lexically_normal());
}

std::string FolderOf(const std::string& path) {
  return Utf8OfPath(PathOfUtf8(path).parent_path());
}

// The folders a node must see: the project's (its media are found from it), the
// destination's (the pieces are written beside it), and every folder media are looked for in.
std::vector<std::string> SharedFolders(const RenderJob& job) {
  std::set<std::string> folders = {FolderOf(job.source), FolderOf(job.destination)};
  for (const std::string& rule : job.maps)
    if (const std::size_t equals = rule.find('='); equals != std::string::npos)
      folders.insert(rule.substr(equals + 1));
  folders.insert(job.searchFolders.begin(), job.searchFolders.end());
  if (!job.stillsFolder.empty()) folders.insert(FolderOf(job.stillsFolder));
  folders.erase("");
  return {folders.begin(), folders.end()};
}

}  // namespace

RenderJob SelfContainedRender(RenderJob job) {
  job.source = Absolute(job.source);
  job.destination = Absolute(job.destination);
  for (std::string& rule : job.maps)
    if (const std::size_t equals = rule.find('=');
        equals != std::string::npos && equals + 1 < rule.size())
      rule = rule.substr(0, equals + 1) + Absolute(rule.substr(equals + 1));
  for (std::string& folder : job.searchFolders) folder = Absolute(folder);
  if (!job.stillsFolder.empty()) job.stillsFolder = Absolute(job.stillsFolder);
  return job;
}

SlurmDemand RenderDemand(const RenderJob& job, const RenderStep& step) {
  // Measured here (docs/performance.md): an SD frame costs a range about 8 ms of CPU and 1080p
  // four times that; ProRes about as much. A node four times slower still ends in time.
  const RenderSize size = ParseRenderSize(job.size).value_or(RenderSize{});
  const double pixels = size.Standard() ? 720.0 * 576 : double(size.width) * size.height;
  const double scale = std::max(1.0, pixels / (720.0 * 576));
  SlurmDemand demand;
  demand.cpus = step.kind == RenderStep::Kind::Whole ? 2 : 1;
  demand.megabytes = 500 + static_cast<long long>(400 * scale);
  const std::int64_t frames = step.frames.end - step.frames.first;
  if (frames <= 0) {
    demand.minutes = 120;  // a render in one process does not read the timeline to plan it
    return demand;
  }
  const double seconds =
      step.kind == RenderStep::Kind::Sound ? frames * 0.001 : frames * 0.008 * scale;
  demand.minutes = std::max<long long>(10, static_cast<long long>(seconds * 4 / 60) + 5);
  return demand;
}

SlurmPlan RenderSlurmPlan(const RenderJob& job, const std::vector<RenderStep>& steps,
                          const std::string& program) {
  SlurmPlan plan;
  plan.name = "pexol-render";
  plan.program = program;
  plan.shared = SharedFolders(job);
  plan.about = {"pexol-cli render " + Utf8OfPath(PathOfUtf8(job.source).filename()) + " to " +
                job.destination + " on a Slurm cluster: sh THIS-FILE [SBATCH-OPTIONS]"};
  std::vector<std::string> pieces;
  for (const RenderStep& step : steps) {
    if (step.kind == RenderStep::Kind::Join) {
      plan.finish.push_back("\"$program\" " + ShellLine(step.arguments));
      continue;
    }
    plan.tasks.push_back({step.arguments});
    const SlurmDemand demand = RenderDemand(job, step);
    plan.taskDemand.cpus = std::max(plan.taskDemand.cpus, demand.cpus);
    plan.taskDemand.megabytes = std::max(plan.taskDemand.megabytes, demand.megabytes);
    plan.taskDemand.minutes = std::max(plan.taskDemand.minutes, demand.minutes);
    if (step.kind != RenderStep::Kind::Whole) pieces.push_back(step.output);
  }
  if (steps.size() == 1) {
    plan.about.push_back("The render in one process: one task.");
    plan.demandFrom = "the render in one process";
    return plan;
  }
  const std::int64_t frames = steps.front().frames.end - steps.front().frames.first;
  plan.about.push_back(std::to_string(steps.size() - 2) +
                       " range(s) of the picture and the sound as the tasks of a job array, "
                       "then their join into the destination.");
  plan.demandFrom = "the longest range, " + std::to_string(frames) + " frames";
  // The pieces go once the destination holds them, as a render in ranges removes its own.
  std::string remove = "rm -f --";
  for (const std::string& piece : pieces) remove += " " + ShellLine({piece});
  plan.finish.push_back(remove);
  if (job.stillsFolder.empty()) {
    const std::string stills = ShellLine({SharedStillsFolder(job.destination)});
    plan.finish.push_back("rm -f -- " + stills + "/" + std::string(sharedStillPrefix) + "*");
    plan.finish.push_back("rmdir -- " + stills + " 2>/dev/null || true");
  }
  plan.finishDemand.cpus = 1;
  plan.finishDemand.megabytes = 500;
  plan.finishDemand.minutes = std::max<long long>(10, frames / 20000 + 5);
  return plan;
}

}  // namespace pexol
