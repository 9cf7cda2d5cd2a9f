// cli/CollectCommand.cpp - `pexol-cli collect`: a project and its media gathered in one folder
#include <iostream>
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "collect/RunCollect.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "media/TranscodeChoices.h"
#include "run/RunMessages.h"

namespace pexol::cli {

void AddCollectCommand(CLI::App& app, int& exitCode) {
  auto job = std::make_shared<CollectJob>();
  auto* sub = app.add_subcommand(
      "collect",
      std::string(Tr("Gather a project and every media file it uses in one folder that can be "
                     "moved whole")));
  AddFile(*sub, "SOURCE", job->source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "FOLDER", job->folder,
          std::string(Tr("folder to make: new, or empty; the media go to FOLDER/media/ and the "
                         "project, its exports and collect-report.txt beside them")));
  AddMapOption(*sub, job->maps,
               std::string(Tr("find names under the Windows folder PREFIX in the local FOLDER "
                              "(repeatable; the longest PREFIX wins)")));
  AddSearchOption(*sub, job->searchFolders);
  std::vector<std::string> formats;
  for (const ExportFormat& format : ExportFormats()) formats.emplace_back(format.name);
  sub->add_option("--format", job->formats,
                  Say("also export the collected project beside it: {0} (repeatable); its media "
                      "paths lead into FOLDER/media/",
                      OneOf(formats)))
      ->transform(Choices(ExportFormatChoices()))
      ->option_text("=FORMAT");
  sub->add_flag("--link", job->link,
                std::string(Tr("hard-link the media instead of copying them where the file "
                               "system allows")));
  sub->add_option("--transcode", job->transcode.kind,
                  std::string(Tr("what the movies become: copy (the default: the files as "
                                 "they are), prores (ProRes 422 in .mov, which every current "
                                 "editor reads), dnxhr (DNxHR in .mov, as Avid Media Composer "
                                 "links it) or h264 (H.264 and AAC in .mp4, small); each keeps "
                                 "its frame rate, size, fields, pixel shape and sound. Stills "
                                 "that some editor cannot open become PNG")))
      ->transform(Choices(TranscodeKindChoices()))
      ->option_text("=KIND");
  sub->add_flag("--trim", job->transcode.trim,
                std::string(Tr("keep only the frames of each movie that the timeline's clips "
                               "use, with --handles more each side (ranges that then meet make "
                               "one file); the project's in and out points move with them. "
                               "Needs --transcode")));
  sub->add_option("--handles", job->transcode.handles,
                  std::string(Tr("frames kept each side of a used range with --trim (24 by "
                                 "default)")))
      ->check(NumberFrom(0, 100000))
      ->option_text("=N");
  sub->add_option("--jobs", job->jobs,
                  std::string(Tr("files transcoded side by side: the number of cores by "
                                 "default")))
      ->check(PositiveNumber())
      ->option_text("=N");
  AddSoftwareOption(*sub, job->software);
  AddTimecodeOption(*sub, job->timecode,
                    {{"ntsc-drop", TimecodeMode::NtscDrop},
                     {"ntsc-nondrop", TimecodeMode::NtscNonDrop},
                     {"pal", TimecodeMode::Pal}},
                    std::string(Tr("an export needs a rate")));
  AddFormatOptions(*sub, job->formatOptions);
  sub->footer(
      std::string(Tr("Media are found as 'pexol-cli check' finds them; each copy is checked "
                     "against its source (size and SHA-256). The project's names become "
                     "relative ones (media\\...), so the folder opens wherever it is moved. The "
                     "folder is built under a hidden name beside FOLDER and renamed at the end: "
                     "a failure, a full disk or Ctrl-C leaves nothing.")) +
      "\n\n" + std::string(Tr("Examples:")) +
      "\n  pexol-cli collect demo.mpj /media/archive/demo --map 'C:\\Video=/media/video' "
      "--format mlt\n  pexol-cli collect demo.mpj demo-prores --transcode prores --trim "
      "--format fcpxml");
  sub->callback([job, &exitCode] {
    TerminalObserver terminal;
    StoppableObserver observer(terminal);
    CollectSummary summary;
    RunResult result;
    {
      // Its transcodes end within a second of the stop it hands them, the folder then removed;
      // past the grace the stop is reported as the run reports it, and the process ends.
      const RunResult stopped{RunResult::Status::Stopped, StoppedMessage(job->source),
                              std::nullopt};
      const StopOnSignals signals(std::chrono::milliseconds(2500),
                                  [&] { Report(stopped, terminal, false); });
      result = RunCollect(*job, observer, &summary);
    }
    if (result.Completed()) {
      terminal.Finish(true);
      if (!Output().quiet) std::cout << summary.shown;
    }
    exitCode = Report(result, terminal, false);
  });
}

}  // namespace pexol::cli
