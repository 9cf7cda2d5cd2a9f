// cli/CheckCommand.cpp - `pexol-cli check`: media files a project names that are missing
#include <memory>

#include <CLI/CLI.hpp>

#include "check/MediaCheck.h"
#include "cli/CliCommon.h"
#include "cli/Commands.h"

namespace pexol::cli {

void AddCheckCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    MediaCheckJob job;
    int software = -1;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand(
      "check",
      "Find the media files a project names that are missing (names relative to the "
      "current folder)");
  sub->add_option("SOURCE", settings->job.source, "project file (.mpj)")->required();
  sub->add_option("--report", settings->job.report,
                  "file to list the missing names in; nul (the default) for none, - for "
                  "standard output")
      ->default_str("nul");
  sub->add_option("--software", settings->software,
                  "which application wrote the project: corvane, lumetta or auto")
      ->transform(CLI::CheckedTransformer(SoftwareNames(), CLI::ignore_case))
      ->default_str("auto");
  sub->callback([settings, &exitCode] {
    settings->job.chooseSoftware = settings->software < 0;
    if (settings->software >= 0) settings->job.software = Software{settings->software};
    TerminalObserver observer;
    const RunResult result = RunMediaCheck(settings->job, observer);
    exitCode = Report(result, settings->job.report == "-");
  });
}

}  // namespace pexol::cli
