// cli/BatchCommand.cpp - `pexol-cli batch`: every project under some folders, in parallel jobs
#include <unistd.h>

#include <iostream>
#include <map>
#include <memory>

#include "batch/BatchReport.h"
#include "batch/BatchSlurmPlan.h"
#include "batch/RunBatch.h"
#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/PlanJsonLine.h"
#include "cli/StopSignals.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"
#include "media/MediaCount.h"
#include "media/PathText.h"
#include "media/TranscodeChoices.h"
#include "render/RenderChoices.h"
#include "run/ProcessPool.h"

namespace pexol::cli {

namespace {

struct BatchSettings {
  BatchRun run;
  std::string plan;  ///< "true" (lines) or "slurm"; empty for none
  bool planJson = false;
  bool reportOnly = false;
  std::string project;
  std::string into;
};

// The status a person reads (the result files keep StatusName's English).
std::string_view StatusWords(JobStatus status, bool skipped) {
  if (status == JobStatus::Missing)
    return skipped ? Tr("missing media (done before)") : Tr("missing media");
  return skipped ? Tr("failed (done before)") : Tr("failed");  // no line tells of a success
}

// A project that did not simply succeed gets a line; the bar, on the same terminal, is
// cleared first. With --quiet only a failed project's, an error, on standard error.
void TellOf(const JobResult& result, bool skipped) {
  if (result.status == JobStatus::Succeeded) return;
  const bool quiet = Output().quiet;
  if (quiet && result.status != JobStatus::Failed) return;
  std::ostream& out = quiet ? std::cerr : std::cout;
  if (!quiet && isatty(STDOUT_FILENO) != 0) out << "\r\033[K";
  out << StatusWords(result.status, skipped) << '\t' << result.into;
  if (!result.failures.empty()) out << '\t' << result.failures.front();
  if (result.status == JobStatus::Missing)
    out << '\t'
        << SayCount(MissingFilesPattern(result.missingReferences,
                                        static_cast<int>(result.missing.size())),
                    result.missingReferences, static_cast<int>(result.missing.size()));
  out << std::endl;
}

int Finish(const BatchSummary& summary) {
  const bool failed = summary.exitStatus == exitTrouble;
  if (Output().quiet) {
    if (failed) std::cerr << summary.message << '\n';
    return summary.exitStatus;
  }
  for (const std::string& problem : summary.problems)
    std::cerr << Say("warning: {0}", problem) << '\n';
  (failed ? std::cerr : std::cout) << summary.message << '\n';
  return summary.exitStatus;
}

void PrintPlan(const BatchSettings& settings) {
  std::string error;
  if (settings.plan == "slurm") {
    const auto plan = BatchSlurmPlan(settings.run, error);
    if (!plan) throw CLI::ValidationError("FOLDER", error);
    std::cout << SlurmScript(*plan);
    return;
  }
  const auto jobs = PlanBatch(settings.run, error);
  if (!error.empty()) throw CLI::ValidationError("FOLDER", error);
  for (const std::vector<std::string>& job : jobs) {
    if (!settings.planJson) {
      std::cout << ShellLine(job) << '\n';
      continue;
    }
    std::cout << PlanJsonLine(job) << '\n';
  }
}

}  // namespace

void AddBatchCommand(CLI::App& app, int& exitCode) {
  auto settings = std::make_shared<BatchSettings>();
  BatchOptions& options = settings->run.options;
  auto* sub = app.add_subcommand(
      "batch",
      std::string(Tr("Do every project under some folders at once: exports, text files, renders")));
  sub->add_option("FOLDER", settings->run.folders,
                  std::string(Tr("folders whose projects (*.mpj, any letter case) are done, "
                                 "recursively")))
      ->option_text(" ");
  sub->add_option("--out", options.out,
                  std::string(Tr("folder for the outputs: each project's go to DIR/<its path "
                                 "below FOLDER>/, with its result file; DIR/report.html and "
                                 "report.json sum them up")))
      ->option_text("=DIR")
      ->required();
  std::vector<std::string> formats;
  for (const ExportFormat& format : ExportFormats()) formats.emplace_back(format.name);
  sub->add_option("--format", options.formats,
                  Say("export each project: {0} (repeatable)", OneOf(formats)))
      ->transform(Choices(ExportFormatChoices()))
      ->option_text("=FORMAT");
  AddFormatOptions(*sub, options.formatOptions);
  sub->add_flag("--text", options.text, std::string(Tr("write each project's text exchange file")));
  std::vector<std::string> containers;
  for (const RenderContainer& container : RenderContainers())
    containers.push_back(container.extension + 1);  // without its dot
  sub->add_option("--render", options.render,
                  Say("render each project to a file of this kind: {0}", OneOf(containers)))
      ->check(OneOfNames(containers, true))
      ->option_text("=EXT");
  AddMissingOption(*sub, options.missing);
  sub->get_option("--missing")->needs("--render");
  sub->add_option("--jobs", settings->run.jobs,
                  std::string(Tr("projects done at once (a render counts as one); the number "
                                 "of cores by default")))
      ->check(NumberFrom(1, 256))
      ->option_text("=N");
  sub->add_option("--transcode", options.transcode.kind,
                  std::string(Tr("collect each project into DIR/<its path>/NAME/ with its "
                                 "movies encoded again, as 'pexol-cli collect --transcode' does: "
                                 "prores, dnxhr or h264 (copy, the default, collects nothing); "
                                 "the --format exports go into that folder, naming the new "
                                 "files")))
      ->transform(Choices(TranscodeKindChoices()))
      ->option_text("=KIND");
  sub->add_flag("--trim", options.transcode.trim,
                std::string(Tr("with --transcode: keep only the frames the timeline uses, with "
                               "--handles more each side")))
      ->needs("--transcode");
  sub->add_option("--handles", options.transcode.handles,
                  std::string(Tr("frames kept each side of a used range with --trim (24 by "
                                 "default)")))
      ->check(NumberFrom(0, 100000))
      ->option_text("=N");
  AddMapOption(*sub, options.maps,
               std::string(Tr("find names under the Windows folder PREFIX in the local FOLDER "
                              "(repeatable)")));
  AddSearchOption(*sub, options.searchFolders);
  sub->add_flag("--force", options.force,
                std::string(Tr("redo projects whose outputs are complete and newer than the "
                               "project")));
  AddPlanOption(*sub, settings->plan,
                std::string(Tr("print one self-contained pexol-cli command line per project "
                               "and do nothing, for GNU parallel or xargs -P; --plan=slurm "
                               "prints a script that submits them to Slurm as a job array and "
                               "the report as a job that waits for it")));
  sub->add_flag("--plan-json", settings->planJson,
                std::string(Tr("the same as JSON lines: {\"argv\": [...]} per project")));
  sub->add_flag("--report-only", settings->reportOnly,
                std::string(Tr("write DIR/report.html and report.json from the result files "
                               "under DIR")));
  sub->add_option("--project", settings->project,
                  std::string(Tr("do this one project (as a planned job does)")))
      ->option_text("=FILE");
  sub->add_option("--into", settings->into,
                  std::string(Tr("with --project: its outputs' folder below DIR; its name "
                                 "without the extension by default")))
      ->option_text("=SUB");
  sub->footer(
      std::string(Tr("Exit status:")) + " " +
      std::string(Tr("0 when every project succeeded, 1 when some had missing media, 2 when "
                     "some failed (or the batch was stopped). A second run skips what the first "
                     "finished.")) +
      "\n\n" + std::string(Tr("Examples:")) +
      "\n  pexol-cli batch ~/archive --out ~/converted --format otio --text --jobs 4\n"
      "  pexol-cli batch ~/archive --out /shared/converted --format mlt --plan |\n"
      "    parallel --sshloginfile hosts.txt && pexol-cli batch --report-only --out "
      "/shared/converted");
  sub->callback([settings, &exitCode] {
    BatchOptions& options = settings->run.options;
    for (std::string& format : options.formats) format = FoldAsciiCase(format);
    options.render = FoldAsciiCase(options.render);
    if (settings->reportOnly) {
      exitCode = Finish(AssembleReport(options.out));
      return;
    }
    if (!settings->project.empty()) {
      BatchProject project{settings->project, settings->into};
      BatchOptions self = SelfContained(options);
      project.source = AbsolutePath(settings->project);
      if (project.into.empty()) project.into = Utf8OfPath(PathOfUtf8(project.source).stem());
      TerminalObserver terminal(true);
      StoppableObserver observer(terminal);
      const StopOnSignals signals;
      exitCode = Finish(RunOneJob(self, project, observer));
      return;
    }
    if (settings->run.folders.empty())
      throw CLI::ValidationError("FOLDER", std::string(Tr("give at least one folder of projects")));
    settings->run.program = ThisProgram();
    if (!settings->plan.empty() || settings->planJson) {
      PrintPlan(*settings);
      exitCode = exitSuccess;
      return;
    }
    TerminalObserver terminal;
    StoppableObserver observer(terminal);
    BatchSummary summary;
    {
      // The jobs end soon after the signal the batch hands them, killed five seconds after it
      // at the latest; it waits for them.
      const StopOnSignals signals(std::chrono::seconds(6));
      summary = RunBatch(settings->run, observer, TellOf);
    }
    terminal.Finish(!summary.stopped);
    exitCode = Finish(summary);
  });
}

}  // namespace pexol::cli
