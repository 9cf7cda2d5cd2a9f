// cli/ExportCommand.cpp - `pexol-cli export`: the timeline for OpenTimelineIO, CMX 3600, MLT,
// Kdenlive or Final Cut Pro 7 XML
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/JsonReport.h"
#include "export/RunExport.h"

namespace pexol::cli {

void AddExportCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    ExportJob job;
  };
  static const std::map<std::string, ExportFormat> formats = [] {
    std::map<std::string, ExportFormat> names;
    for (const ExportFormatName& name : ExportFormatNames()) names.emplace(name.name, name.format);
    return names;
  }();
  static const std::map<std::string, TimecodeMode> rates = {
      {"ntsc-drop", TimecodeMode::NtscDrop},
      {"ntsc-nondrop", TimecodeMode::NtscNonDrop},
      {"pal", TimecodeMode::Pal}};
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand(
      "export",
      "Write the project's timeline for other editors: OpenTimelineIO, CMX 3600 EDL, MLT "
      "(Shotcut), Kdenlive or Final Cut Pro 7 XML (Premiere Pro, DaVinci Resolve)");
  AddFile(*sub, "SOURCE", settings->job.source, "project file (.mpj)");
  AddFile(*sub, "DEST", settings->job.destination,
          "file to write: .otio, .edl (one per track: DEST, DEST-insert, -exaudio1, -exaudio2), "
          ".mlt, .kdenlive or .xml (Final Cut Pro 7 XML); - for standard output (with --format; "
          "an EDL then holds the main track only)");
  sub->add_option("--format", settings->job.format,
                  "otio, cmx3600, mlt, kdenlive or fcp7; by default DEST's extension says")
      ->transform(Choices(formats))
      ->option_text("=FORMAT");
  AddSoftwareOption(*sub, settings->job.software);
  AddTimecodeOption(*sub, settings->job.timecode, rates,
                    "an export needs a rate: NTSC (drop or non-drop frame) or PAL; frame counts "
                    "have none");
  AddMapOption(*sub, settings->job.maps,
               "write names under the Windows folder PREFIX as under the local FOLDER "
               "(repeatable; the longest PREFIX wins; a relative FOLDER is taken from the current "
               "folder)");
  AddSearchOption(*sub, settings->job.searchFolders);
  AddJsonOption(*sub);
  sub->footer(
      "Media names are written as the files found (see 'pexol-cli check --help'); a name still "
      "in Windows form keeps it, with / separators.\n\nExample:\n  pexol-cli export demo.mpj "
      "demo.mlt --map 'C:\\Video=/media/video' --timecode pal");
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
    if (const auto* counts = std::get_if<ExportOutcome>(&result.outcome))
      document.update({{"tracks", counts->tracks},
                       {"clips", counts->clips},
                       {"transitions", counts->transitions}});
    exitCode = ReportJson(result, observer, std::move(document));
  });
}

}  // namespace pexol::cli
