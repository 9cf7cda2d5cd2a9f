// cli/ExportCommand.cpp - `pexol-cli export`: the timeline in any format of the export's table
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/JsonReport.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"

namespace pexol::cli {

void AddExportCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ExportJob job;
  };
  static const std::map<std::string, TimecodeMode> rates = RatedTimecodeNames();
  // ".edl (one per track: DEST, DEST-insert, ...)" for a format that writes files beside DEST.
  std::vector<std::string> files, labels, names;
  for (const ExportFormat& format : ExportFormats()) {
    std::string text = format.extensions.front();
    if (format.files.size() > 1) {
      std::string beside = "DEST";
      for (std::size_t f = 1; f < format.files.size(); ++f) beside += ", DEST" + format.files[f];
      text += Say(" (one per track: {0})", beside);
    }
    files.push_back(text);
    labels.emplace_back(format.label);
    names.emplace_back(format.name);
  }
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand(
      "export", Say("Write the project's timeline for other editors: {0}", OneOf(labels)));
  AddFile(*sub, "SOURCE", settings->job.source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "DEST", settings->job.destination,
          Say("file to write: {0}; - for standard output (with --format; files beside DEST are "
              "then left out)",
              OneOf(files)));
  sub->add_option("--format", settings->job.format,
                  Say("{0}; by default DEST's extension says", OneOf(names)))
      ->transform(Choices(ExportFormatChoices()))
      ->option_text("=FORMAT");
  AddSoftwareOption(*sub, settings->job.software);
  AddTimecodeOption(*sub, settings->job.timecode, rates,
                    std::string(Tr("an export needs a rate: NTSC (drop or non-drop frame) or "
                                   "PAL; frame counts have none")));
  AddFormatOptions(*sub, settings->job.options);
  AddMapOption(*sub, settings->job.maps,
               std::string(Tr("write names under the Windows folder PREFIX as under the local "
                              "FOLDER (repeatable; the longest PREFIX wins; a relative FOLDER is "
                              "taken from the current folder)")));
  AddSearchOption(*sub, settings->job.searchFolders);
  AddJsonOption(*sub);
  sub->footer(
      std::string(Tr("Media names are written as the files found (see 'pexol-cli check --help'); "
                     "a name still in Windows form keeps it, with / separators.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli export demo.mpj demo.mlt --map 'C:\\Video=/media/video' --timecode pal");
  sub->callback([settings, &exitCode] {
    const bool toStdout = settings->job.destination == "-";
    if (JsonClashesWithStandardOutput(toStdout)) {
      exitCode = exitTrouble;
      return;
    }
    TerminalObserver observer(toStdout || Output().json);
    const RunResult result = RunExport(settings->job, observer);
    if (!Output().json) {
      exitCode = Report(result, observer, toStdout);
      return;
    }
    nlohmann::json document = {{"command", "export"},
                               {"source", settings->job.source},
                               {"destination", settings->job.destination}};
    if (const auto* outcome = result.OutcomeAs<ExportOutcome>())
      document.update({{"tracks", outcome->tracks},
                       {"clips", outcome->clips},
                       {"transitions", outcome->transitions},
                       {"format", outcome->format},
                       {"keepsEverything", outcome->notes.empty()},
                       {"notes", NotesJson(outcome->notes)}});
    exitCode = ReportJson(result, observer, std::move(document));
  });
}

}  // namespace pexol::cli
