// cli/ToProjectCommand.cpp - `pexol-cli to-project`: edited text plus its project make a new one
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/CliCommon.h"
#include "cli/Commands.h"

namespace pexol::cli {

void AddToProjectCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ToProjectJob job;
    int software = -1;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand("to-project",
                                 "Build a new project file from an edited text and its project");
  sub->add_option("SOURCE", settings->job.source, "the project file the text was made from")
      ->required();
  sub->add_option("TEXT", settings->job.text, "the edited text exchange file")->required();
  sub->add_option("DEST", settings->job.destination, "the project file to write")->required();
  sub->add_option("--software", settings->software,
                  "which application wrote the project: corvane, lumetta or auto")
      ->transform(CLI::CheckedTransformer(SoftwareNames(), CLI::ignore_case))
      ->default_str("auto");
  sub->callback([settings, &exitCode] {
    settings->job.chooseSoftware = settings->software < 0;
    if (settings->software >= 0) settings->job.options.software = Software{settings->software};
    TerminalObserver observer;
    exitCode = Report(RunTextToProject(settings->job, observer), false);
  });
}

}  // namespace pexol::cli
