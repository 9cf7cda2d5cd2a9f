// app/pages/ExportPage.cpp - the "export" page's parts and its job
#include "app/pages/ExportPage.h"

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"

namespace pexol::pages {

namespace {

// What the destination's file dialog offers: every format; the first one's extension names a
// file by default.
FileRequest DestinationRequest() {
  std::string types;
  for (const ExportFormat& format : ExportFormats()) {
    std::string patterns;
    for (const std::string& extension : format.extensions)
      patterns += (patterns.empty() ? "*" : " *") + extension;
    types += (types.empty() ? "" : ";;") + std::string(format.label) + " (" + patterns + ")";
  }
  return SaveFile(ExportFormats().front().extensions.front().substr(1), WithAllFiles(types));
}

}  // namespace

ExportPage::ExportPage() : Page(Tr("export")) {
  AddSoftwareBox(ids::exportSoftwareBox, ids::exportCorvane, ids::exportLumetta, "export/software");
  std::vector<Choice> choices{
      {ids::exportFromExtension, std::string(Tr("from the file name")), fromExtension}};
  std::vector<std::string> names{fromExtensionName};
  const auto formats = ExportFormats();
  for (std::size_t f = 0; f < formats.size(); ++f) {
    choices.push_back({ids::ExportFormatButton(f), formats[f].label, static_cast<int>(f) + 1});
    names.emplace_back(formats[f].name);
  }
  // The page shows its defaults: the format from the name, the command line's timecode.
  format = AddChoices(ids::exportFormatBox, Tr("format"), std::move(choices), "export/format",
                      fromExtension);
  // Kept by name, so that a new row leaves the choice as it was; earlier versions kept the
  // value, the row's place in the table as it was then.
  state.KeepByName(format, std::move(names),
                   {fromExtensionName, "otio", "cmx3600", "mlt", "kdenlive", "fcp7", "fcpxml"});
  timecode = AddChoices(ids::exportTimecodeBox, Tr("timecode"),
                        {{ids::exportNtscDrop, std::string(Tr("NTSC drop frame")),
                          static_cast<int>(TimecodeMode::NtscDrop)},
                         {ids::exportNtscNonDrop, std::string(Tr("NTSC non-drop frame")),
                          static_cast<int>(TimecodeMode::NtscNonDrop)},
                         {ids::exportPal, "PAL", static_cast<int>(TimecodeMode::Pal)}},
                        "export/timecode", static_cast<int>(ExportJob{}.timecode));
  AddStretch();
  source = AddFileRow(ids::exportSourceLabel, Tr("mpj source file"), ids::exportSource,
                      ids::exportSourceChooser, OpenFile("mpj", ProjectFilter()), "export/source");
  destination = AddFileRow(ids::exportDestinationLabel, Tr("timeline destination file"),
                           ids::exportDestination, ids::exportDestinationChooser,
                           DestinationRequest(), "export/destination");
  AddMediaFoldersButton(ids::exportMediaFolders);
  AddRunRow(ids::exportRun, Tr("export"), ids::exportProgress, ids::exportStatus,
            ids::exportCancel);
  state.PictureFrom(source, timecode);
}

int ExportPage::FormatButton(std::string_view name) {
  const ExportFormat* format = ExportFormatNamed(name);
  return format ? ids::ExportFormatButton(static_cast<std::size_t>(format - ExportFormats().data()))
                : 0;
}

Page::Driver ExportPage::MakeRun(const MediaFolders& media) {
  ExportJob job;
  job.source = state.Text(source);
  job.destination = state.Text(destination);
  const int chosen = state.Value(format, fromExtension);
  const auto formats = ExportFormats();
  if (chosen > 0 && static_cast<std::size_t>(chosen) <= formats.size())
    job.format = formats[static_cast<std::size_t>(chosen) - 1].name;
  job.software = state.ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(state.Value(timecode, 0));
  job.maps = media.maps;
  job.searchFolders = media.searchFolders;
  return [job](RunObserver& observer) { return RunExport(job, observer); };
}

}  // namespace pexol::pages
