// cli/ToTextCommand.cpp - `pexol-cli to-text`: a project becomes a text file with its EDL
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/Translation.h"
#include "run/RunConversions.h"

namespace pexol::cli {

void AddToTextCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ToTextJob job;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand("to-text",
                                 std::string(Tr("Convert a project file to a text exchange file")));
  AddFile(*sub, "SOURCE", settings->job.source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "DEST", settings->job.destination,
          std::string(Tr("text file to write (.txt); - for standard output")));
  AddSoftwareOption(*sub, settings->job.software);
  AddTimecodeOption(*sub, settings->job.options.timecode, TimecodeNames());
  sub->add_flag("--csv", settings->job.options.csv,
                std::string(Tr("write the EDL as CSV instead of columns")));
  AddEncodingOption(*sub, settings->job.options.encoding);
  sub->footer(std::string(Tr("Example:")) +
              "\n  pexol-cli to-text demo.mpj demo.txt --timecode pal --csv");
  sub->callback([settings, &exitCode] {
    const bool toStdout = settings->job.destination == "-";
    TerminalObserver observer(toStdout);
    const RunResult result = RunProjectToText(settings->job, observer);
    exitCode = Report(result, observer, toStdout);
  });
}

}  // namespace pexol::cli
