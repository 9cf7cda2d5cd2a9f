// collect/TranscodeFiles.cpp - the media program run once per file in a pool of processes
#include "collect/TranscodeFiles.h"

#include <algorithm>

#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "run/ChildLines.h"
#include "run/MediaProgram.h"
#include "run/ProcessPool.h"

namespace pexol {

bool RunTranscodeTasks(const std::vector<TranscodeTask>& tasks, int parallel,
                       const std::function<bool()>& stop, const TranscodeProgress& progress,
                       std::vector<TranscodeTaskEnd>& ends, std::string& failure) {
  ends.assign(tasks.size(), {});
  if (tasks.empty()) return true;
  const std::string program = MediaProgram();
  if (program.empty()) {
    failure =
        Tr("the media program (pexol-render), which transcodes with FFmpeg for pexol-cli, is "
           "neither beside pexol-cli nor in ../libexec/pexol/ from its folder: install pexol "
           "whole, or name the program in PEXOL_RENDER");
    return false;
  }
  std::vector<std::vector<std::string>> lines;
  for (const TranscodeTask& task : tasks) {
    std::vector<std::string> line = {program, "transcode", task.source, task.destination,
                                     "--kind=" + task.kind};
    if (task.first > 0) line.push_back("--from=" + std::to_string(task.first));
    if (task.last >= 0) line.push_back("--to=" + std::to_string(task.last));
    line.insert(line.end(), {"--progress", "json"});
    lines.push_back(std::move(line));
  }
  std::vector<ChildReport> reports(tasks.size());
  std::vector<bool> finished(tasks.size(), false);
  const auto report = [&] {
    std::uintmax_t weight = 0;
    std::int64_t frames = 0;
    std::int64_t ofFrames = 0;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
      weight += finished[i] ? tasks[i].weight : tasks[i].weight * reports[i].percent / 100;
      if (reports[i].framesDone > 0) frames += reports[i].framesDone;
      ofFrames += reports[i].framesTotal;
    }
    progress(weight, frames, ofFrames);
  };
  PoolCalls calls;
  calls.stop = stop;
  calls.line = [&](std::size_t task, std::string_view line) {
    ReadChildLine(line, reports[task]);
    report();
  };
  calls.finished = [&](std::size_t task, const ChildEnd& end) {
    finished[task] = true;
    if (end.killed) RemoveStaleTemporariesOfChildren(tasks[task].destination);
    const RunResult result = ChildResult(
        reports[task], end, "Can not transcode \"" + tasks[task].source + "\"", program);
    ends[task].completed = result.Completed();
    ends[task].message = result.message;
    ends[task].frames = std::max(0LL, reports[task].resultFrames);
    report();
  };
  return RunInPool(lines, parallel, calls);
}

}  // namespace pexol
