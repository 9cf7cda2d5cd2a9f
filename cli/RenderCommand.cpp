// cli/RenderCommand.cpp - `pexol-cli render`: the timeline to a finished video file through MLT
#include <iostream>
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "core/Translation.h"
#include "render/RenderInProcesses.h"
#include "render/RenderOutcome.h"
#include "render/RenderSlurmPlan.h"
#include "render/RenderSteps.h"
#include "run/ProcessPool.h"
#include "run/RunMessages.h"

namespace pexol::cli {

namespace {

// --plan: the commands, one a line, as a shell reads them, for pexol-cli wherever they run;
// --plan=slurm: a script that submits them to Slurm, every path in them absolute.
int PrintPlan(const RenderJob& asked, const std::string& target) {
  const bool slurm = target == "slurm";
  const RenderJob job = slurm ? SelfContainedRender(asked) : asked;
  RunResult failure;
  const auto steps = PlanRender(job, failure);
  if (!steps) {
    TerminalObserver terminal;
    return Report(failure, terminal, false);
  }
  if (slurm) {
    std::cout << SlurmScript(RenderSlurmPlan(job, *steps, ThisProgram()));
    return exitSuccess;
  }
  for (const RenderStep& step : *steps) {
    std::vector<std::string> line = {"pexol-cli"};
    line.insert(line.end(), step.arguments.begin(), step.arguments.end());
    std::cout << ShellLine(line) << "\n";
  }
  return exitSuccess;
}

}  // namespace

void AddMissingOption(CLI::App& command, MissingMedia& missing) {
  static const std::map<std::string, MissingMedia> choices = {{"fail", MissingMedia::Fail},
                                                              {"black", MissingMedia::Black}};
  command
      .add_option("--missing", missing,
                  std::string(Tr("media not found or not decoded: fail (the default: nothing "
                                 "is rendered, they are listed) or black (black and silence in "
                                 "their place, with a warning)")))
      ->transform(Choices(choices))
      ->option_text("=WHAT");
}

void AddRenderCommand(CLI::App& app, int& exitCode, const RenderRunners& runners) {
  static const std::map<std::string, TimecodeMode> rates = RatedTimecodeNames();
  static const std::map<std::string, RenderCodec> codecs = [] {
    std::map<std::string, RenderCodec> names;
    for (const RenderCodecChoice& choice : RenderCodecs()) names[choice.name] = choice.codec;
    return names;
  }();
  std::vector<std::string> containers;
  for (const RenderContainer& container : RenderContainers())
    containers.push_back(std::string(container.extension) + " (" + std::string(Tr(container.kind)) +
                         ")");
  auto job = std::make_shared<RenderJob>();
  auto plan = std::make_shared<std::string>();
  auto* sub = app.add_subcommand(
      "render",
      std::string(Tr("Render the project's timeline to a video file (H.264 and AAC, or ProRes) "
                     "or its sound to a sound file, through MLT")));
  AddFile(*sub, "SOURCE", job->source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "DEST", job->destination,
          Say("video or sound file to write: {0}", OneOf(containers)));
  AddSoftwareOption(*sub, job->software);
  AddTimecodeOption(*sub, job->timecode, rates,
                    std::string(Tr("a render needs a rate: NTSC 720x480 (drop or non-drop "
                                   "frame) or PAL 720x576; frame counts have none")));
  AddMapOption(*sub, job->maps,
               std::string(Tr("look for media under the Windows folder PREFIX in the local "
                              "FOLDER (repeatable; the longest PREFIX wins)")));
  AddSearchOption(*sub, job->searchFolders);
  AddMissingOption(*sub, job->missing);
  sub->add_option("--from", job->from,
                  std::string(Tr("first frame to render: a frame number or a timecode in the "
                                 "rate (hh:mm:ss;ff drop frame, hh:mm:ss:ff otherwise)")))
      ->option_text("=TIME");
  sub->add_option("--to", job->to,
                  std::string(Tr("frame to end before, as --from; the timeline's end by default")))
      ->option_text("=TIME");
  sub->add_option("--quality", job->quality,
                  std::string(Tr("H.264 constant quality, 0 (best, largest) to 51; 18 (the "
                                 "default) looks like the source")))
      ->option_text("=N");
  sub->add_option("--size", job->size,
                  std::string(Tr("picture size: sd (the default: the project's 720x480 or "
                                 "720x576), 720p, 1080p or WIDTHxHEIGHT; square pixels, the "
                                 "project's frame scaled in whole with bars where its shape "
                                 "differs")))
      ->option_text("=SIZE");
  sub->add_option("--codec", job->codec,
                  std::string(Tr("picture codec: h264 (the default) or prores (ProRes 422 with "
                                 "uncompressed sound, in a .mov, for finishing in another "
                                 "editor)")))
      ->transform(Choices(codecs))
      ->option_text("=CODEC");
  sub->add_flag("--interlaced", job->interlaced,
                std::string(Tr("keep interlaced media's fields (at the sd size only); by "
                               "default they are deinterlaced for a progressive picture")));
  sub->add_option("--jobs", job->jobs,
                  std::string(Tr("processes that render ranges of the timeline side by side, "
                                 "joined into one file without encoding again, the sound mixed "
                                 "once: the number of cores by default; 1 renders in one "
                                 "process")))
      ->check(PositiveNumber())
      ->option_text("=N");
  sub->add_option("--stills-folder", job->stillsFolder,
                  std::string(Tr("folder where the stills MLT cannot read are kept, converted to "
                                 "PNG once for every process of a render in ranges (which makes "
                                 "one beside DEST and removes it); by default the render's own "
                                 "temporary folder")))
      ->option_text("=DIR");
  sub->add_flag("--picture-only", job->pictureOnly,
                std::string(Tr("the picture alone, without a sound stream (a range to be "
                               "joined)")));
  AddPlanOption(*sub, *plan,
                std::string(Tr("print the commands that render the ranges, the sound and the "
                               "join, one a line, instead of rendering: run by hand one after "
                               "another, or spread over machines, they make the same file; "
                               "--plan=slurm prints a script that submits them to Slurm as a "
                               "job array and the join as a job that waits for it")));
  sub->footer(
      std::string(Tr("Media are found as 'pexol-cli check' finds them. Ctrl-C stops the render "
                     "and removes every partial file; an existing DEST is left as it was. A "
                     "sound file (.wav, .flac, .m4a, .mp3) holds the mix alone, as long as the "
                     "timeline or range.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli render demo.mpj demo.mp4 --map 'C:\\Video=/media/video' --timecode pal");
  sub->callback([job, plan, runners, &exitCode] {
    if (!plan->empty()) {
      exitCode = PrintPlan(*job, *plan);
      return;
    }
    TerminalObserver terminal;
    StoppableObserver observer(terminal);
    RunResult result;
    {
      // An encoder asked to stop still encodes the frames it holds before its thread ends;
      // past the grace the stop is reported as the run reports it, and the process ends.
      const RunResult stopped{RunResult::Status::Stopped,
                              RenderStoppedMessage(job->source, job->destination), std::nullopt};
      const StopOnSignals signals(runners.stopGrace, [&] { Report(stopped, terminal, false); });
      result = runners.render(*job, observer);
    }
    exitCode = Report(result, terminal, false);
  });
}

}  // namespace pexol::cli
