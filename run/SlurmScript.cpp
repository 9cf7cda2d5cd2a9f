// run/SlurmScript.cpp - the submitting script, and the scripts of the array's tasks and of the
// finishing job inside it, each handed to sbatch on its standard input
#include "run/SlurmScript.h"

#include <algorithm>
#include <sstream>

#include "run/ProcessPool.h"

namespace pexol {

namespace {

std::string Quoted(const std::string& word) {
  return ShellLine({word});
}

// The lines every job runs first: where pexol-cli is, and that this node sees what it needs.
// A missing folder would otherwise surface as a project or a medium that is not there.
std::string Checks(const SlurmPlan& plan) {
  std::ostringstream out;
  out << "program=${PEXOL_CLI:-" << Quoted(plan.program) << "}\n";
  if (!plan.shared.empty()) {
    out << "for folder in";
    for (const std::string& folder : plan.shared) out << ' ' << Quoted(folder);
    out << "; do\n"
           "  if [ ! -d \"$folder\" ]; then\n"
           "    echo \"pexol: $(hostname) does not see the folder $folder: every node must share "
           "it at the path it has where the plan was made\" >&2\n"
           "    exit 2\n"
           "  fi\n"
           "done\n";
  }
  out << "if ! command -v \"$program\" >/dev/null 2>&1; then\n"
         "  echo \"pexol: $(hostname) has no $program: install pexol on every node, or name its "
         "pexol-cli in PEXOL_CLI\" >&2\n"
         "  exit 2\n"
         "fi\n";
  return out.str();
}

std::string TaskScript(const SlurmPlan& plan) {
  const bool results = std::any_of(plan.tasks.begin(), plan.tasks.end(),
                                   [](const SlurmTask& task) { return !task.resultFile.empty(); });
  std::ostringstream out;
  out << "#!/bin/sh\n"
      << "# One task of " << plan.name << ", chosen by SLURM_ARRAY_TASK_ID.\n"
      << Checks(plan) << "result=\n"
      << "case ${SLURM_ARRAY_TASK_ID:-} in\n";
  for (std::size_t index = 0; index < plan.tasks.size(); ++index) {
    const SlurmTask& task = plan.tasks[index];
    out << "  " << index + 1 << ")";
    if (!task.resultFile.empty()) out << " result=" << Quoted(task.resultFile) << ';';
    out << " set -- " << ShellLine(task.arguments) << " ;;\n";
  }
  out << "  *)\n"
      << "    echo \"pexol: this script is a task of a job array: sbatch --array=1-"
      << plan.tasks.size() << "\" >&2\n"
      << "    exit 2 ;;\n"
      << "esac\n";
  if (!results) {
    out << "exec \"$program\" \"$@\"\n";
    return out.str();
  }
  // The project's outcome, a failure included, is in its result file, which the report
  // reads; the task fails only when there is none, so that the report waits for every one.
  // A result written anew is a new file (it replaces the old one whole): a new inode.
  out << "before=$(ls -di -- \"$result\" 2>/dev/null || true)\n"
         "status=0\n"
         "\"$program\" \"$@\" || status=$?\n"
         "if [ \"$status\" -le 1 ] || { [ -n \"$result\" ] &&\n"
         "  [ \"$(ls -di -- \"$result\" 2>/dev/null || true)\" != \"$before\" ]; }; then\n"
         "  exit 0\n"
         "fi\n"
         "echo \"pexol: the job ended with status $status without writing its result $result\" "
         ">&2\n"
         "exit \"$status\"\n";
  return out.str();
}

std::string FinishScript(const SlurmPlan& plan) {
  std::ostringstream out;
  out << "#!/bin/sh\n"
      << "# The end of " << plan.name << ", once every task of its array succeeded.\n"
      << "set -e\n"
      << Checks(plan);
  for (const std::string& line : plan.finish) out << line << '\n';
  return out.str();
}

// A here-document's delimiter that no line of `body` is.
std::string Delimiter(const std::string& base, const std::string& body) {
  const auto taken = [&body](const std::string& word) {
    std::istringstream lines(body);
    for (std::string line; std::getline(lines, line);)
      if (line == word) return true;
    return false;
  };
  std::string word = base;
  for (int suffix = 2; taken(word); ++suffix) word = base + "_" + std::to_string(suffix);
  return word;
}

}  // namespace

std::string SlurmScript(const SlurmPlan& plan) {
  const SlurmDemand& task = plan.taskDemand;
  const SlurmDemand& finish = plan.finishDemand;
  std::ostringstream out;
  out << "#!/bin/sh\n";
  for (const std::string& line : plan.about) out << "# " << line << '\n';
  out << "#\n";
  if (!plan.shared.empty()) {
    out << "# Every node must see these folders at these paths (shared, over NFS or the like):\n";
    for (const std::string& folder : plan.shared) out << "#   " << folder << '\n';
    out << "# ";
  } else {
    out << "# Every node must ";
  }
  out << "run pexol-cli as " << plan.program << " (PEXOL_CLI names another).\n"
      << "#\n"
      << "# Each task asks for " << task.cpus << " CPU(s), " << task.megabytes << " MB and "
      << task.minutes << " minutes, estimated from " << plan.demandFrom << ";\n"
      << "# PEXOL_SLURM_CPUS, PEXOL_SLURM_MEMORY (MB) and PEXOL_SLURM_TIME (minutes) ask for "
         "others.\n"
      << "# The script's arguments go to sbatch: sh plan.sh --partition=NAME --account=NAME\n"
      << "set -eu\n"
      << "PEXOL_CLI=${PEXOL_CLI:-" << Quoted(plan.program) << "}\n"
      << "export PEXOL_CLI\n"
      << "cpus=${PEXOL_SLURM_CPUS:-" << task.cpus << "}\n"
      << "memory=${PEXOL_SLURM_MEMORY:-" << task.megabytes << "}\n"
      << "minutes=${PEXOL_SLURM_TIME:-" << task.minutes << "}\n";
  for (const std::string& line : plan.prepare) out << line << '\n';
  // Each sbatch reads its job's script from a here-document, in a function of its own, which
  // the command substitution calls: a here-document inside $( ) trips some shells.
  const std::string tasks = TaskScript(plan);
  const std::string tasksEnd = Delimiter("PEXOL_TASKS", tasks);
  out << "submit_tasks() {\n"
      << "  sbatch --parsable --job-name=" << Quoted(plan.name) << " --array=1-"
      << plan.tasks.size()
      << " --cpus-per-task=\"$cpus\" --mem=\"${memory}M\" --time=\"$minutes\" \"$@\" <<'"
      << tasksEnd << "'\n"
      << tasks << tasksEnd << "\n}\n";
  if (plan.finish.empty()) {
    out << "array=$(submit_tasks \"$@\")\n"
        << "echo \"pexol: submitted job ${array%%;*} (" << plan.tasks.size() << " task(s))\"\n";
    return out.str();
  }
  const std::string script = FinishScript(plan);
  const std::string finishEnd = Delimiter("PEXOL_FINISH", script);
  out << "submit_finish() {\n"
      << "  sbatch --parsable --job-name=" << Quoted(plan.name + "-end")
      << " --dependency=afterok:\"$array\" --kill-on-invalid-dep=yes --cpus-per-task="
      << finish.cpus << " --mem=" << finish.megabytes << "M --time=" << finish.minutes
      << " \"$@\" <<'" << finishEnd << "'\n"
      << script << finishEnd << "\n}\n"
      << "array=$(submit_tasks \"$@\")\n"
      << "array=${array%%;*}\n"
      << "finish=$(submit_finish \"$@\")\n"
      << "echo \"pexol: submitted job $array (" << plan.tasks.size()
      << " task(s)), then job ${finish%%;*} once every task succeeded\"\n";
  return out.str();
}

}  // namespace pexol
