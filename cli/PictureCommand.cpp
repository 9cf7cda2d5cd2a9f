// cli/PictureCommand.cpp - `pexol-cli picture`: the timeline drawn as an SVG file
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/Translation.h"
#include "picture/RunPicture.h"

namespace pexol::cli {

void AddPictureCommand(CLI::App& app, int& exitCode) {
  auto job = std::make_shared<PictureJob>();
  auto* sub = app.add_subcommand(
      "picture", std::string(Tr("Draw the project's timeline as an SVG picture: a row per "
                                "track, a box per clip")));
  AddFile(*sub, "SOURCE", job->source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "DEST", job->destination, std::string(Tr("picture to write (.svg)")));
  AddSoftwareOption(*sub, job->software);
  AddTimecodeOption(*sub, job->timecode, TimecodeNames());
  sub->add_option("--scale", job->pixelsPerFrame,
                  std::string(Tr("pixels per frame of a box's width (0.2)")))
      ->check(NumberFrom(0.001, 100.0))
      ->option_text("=PIXELS");
  sub->add_flag("--posters", job->posters,
                std::string(Tr("show a frame of each clip's medium in its box (decoded once, "
                               "then kept in the user's cache folder)")));
  AddMapOption(*sub, job->maps,
               std::string(Tr("look for names under the Windows folder PREFIX in the local "
                              "FOLDER (repeatable; the longest PREFIX wins)")));
  AddSearchOption(*sub, job->searchFolders);
  sub->footer(
      std::string(Tr("Media that cannot be found (see 'pexol-cli check --help') are drawn red.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli picture demo.mpj demo.svg --search ~/footage --timecode pal");
  sub->callback([job, &exitCode] {
    TerminalObserver observer;
    const RunResult result = RunPicture(*job, observer);
    exitCode = Report(result, observer, false);
  });
}

}  // namespace pexol::cli
