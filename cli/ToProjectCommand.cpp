// cli/ToProjectCommand.cpp - `pexol-cli to-project`: an edited text and its project make a project
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/Translation.h"
#include "run/RunConversions.h"

namespace pexol::cli {

void AddToProjectCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ToProjectJob job;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand("to-project",
                                 std::string(Tr("Build a new project file from an edited text "
                                                "and its project")));
  AddFile(*sub, "SOURCE", settings->job.source,
          std::string(Tr("the project file (.mpj) the text was made from")));
  AddFile(*sub, "TEXT", settings->job.text,
          std::string(Tr("the edited text exchange file (.txt)")));
  AddFile(*sub, "DEST", settings->job.destination,
          std::string(Tr("the project file to write (.mpj); - for standard output")));
  AddSoftwareOption(*sub, settings->job.software);
  AddEncodingOption(*sub, settings->job.options.encoding);
  sub->footer(std::string(Tr("Example:")) +
              "\n  pexol-cli to-project demo.mpj demo.txt edited.mpj");
  sub->callback([settings, &exitCode] {
    const bool toStdout = settings->job.destination == "-";
    TerminalObserver observer(toStdout);
    const RunResult result = RunTextToProject(settings->job, observer);
    exitCode = Report(result, observer, toStdout);
  });
}

}  // namespace pexol::cli
