// cli/ToTextCommand.cpp - `pexol-cli to-text`: a project becomes a text file with its EDL
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/CliCommon.h"
#include "cli/Commands.h"

namespace pexol::cli {

void AddToTextCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ToTextJob job;
    int software = -1;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand("to-text", "Convert a project file to a text exchange file");
  sub->add_option("SOURCE", settings->job.source, "project file (.mpj)")->required();
  sub->add_option("DEST", settings->job.destination, "text file to write; - for standard output")
      ->required();
  sub->add_option("--software", settings->software,
                  "which application wrote the project: corvane, lumetta or auto")
      ->transform(CLI::CheckedTransformer(SoftwareNames(), CLI::ignore_case))
      ->default_str("auto");
  sub->add_option("--timecode", settings->job.options.timecode,
                  "EDL timecodes: ntsc-drop, pal, frame or ntsc-nondrop")
      ->transform(CLI::CheckedTransformer(TimecodeNames(), CLI::ignore_case))
      ->default_str("ntsc-drop");
  sub->add_flag("--csv", settings->job.options.csv, "write the EDL as CSV instead of columns");
  sub->callback([settings, &exitCode] {
    settings->job.chooseSoftware = settings->software < 0;
    if (settings->software >= 0) settings->job.options.software = Software{settings->software};
    TerminalObserver observer;
    const RunResult result = RunProjectToText(settings->job, observer);
    exitCode = Report(result, settings->job.destination == "-");
  });
}

}  // namespace pexol::cli
