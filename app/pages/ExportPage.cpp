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
  const std::vector<const FormatOption*> all = AllFormatOptions();
  for (std::size_t o = 0; o < all.size(); ++o) {
    const FormatOption& option = *all[o];
    std::vector<Choice> values;
    for (std::size_t c = 0; c < option.choices.size(); ++c)
      values.push_back({ids::ExportOptionButton(o, c), option.choices[c], static_cast<int>(c)});
    // Kept by name, the value as the command line takes it, so that new values leave it as is.
    const int field = AddChoices(ids::ExportOptionBox(o), Tr(option.title), std::move(values),
                                 (std::string("export/") + option.name).c_str(), 0);
    state.KeepByName(field, option.choices, {});
    EnableWhen([this, name = std::string_view(option.name)](const PageState&) {
      const ExportFormat* chosen = ChosenFormat();
      if (!chosen) return false;
      for (const FormatOption& own : chosen->options)
        if (name == own.name) return true;
      return false;
    });
    options.push_back(field);
  }
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

int ExportPage::OptionButton(std::string_view name, std::string_view value) {
  const std::vector<const FormatOption*> all = AllFormatOptions();
  for (std::size_t o = 0; o < all.size(); ++o)
    for (std::size_t c = 0; name == all[o]->name && c < all[o]->choices.size(); ++c)
      if (value == all[o]->choices[c]) return ids::ExportOptionButton(o, c);
  return 0;
}

const ExportFormat* ExportPage::ChosenFormat() const {
  const int chosen = state.Value(format, fromExtension);
  const auto formats = ExportFormats();
  if (chosen > 0 && static_cast<std::size_t>(chosen) <= formats.size())
    return &formats[static_cast<std::size_t>(chosen) - 1];
  return ExportFormatOfPath(state.Text(destination));
}

Page::Driver ExportPage::MakeRun(const MediaFolders& media) {
  return [job = Job(media)](RunObserver& observer) { return RunExport(job, observer); };
}

ExportJob ExportPage::Job(const MediaFolders& media) const {
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
  // Only the chosen format's own: the others' boxes are greyed out and say nothing.
  const std::vector<const FormatOption*> all = AllFormatOptions();
  if (const ExportFormat* chosen = ChosenFormat())
    for (std::size_t o = 0; o < all.size(); ++o)
      for (const FormatOption& own : chosen->options)
        if (std::string_view(own.name) == all[o]->name) {
          const int value = state.Value(options[o], 0);
          if (value >= 0 && static_cast<std::size_t>(value) < all[o]->choices.size())
            job.options[own.name] = all[o]->choices[static_cast<std::size_t>(value)];
        }
  return job;
}

}  // namespace pexol::pages
