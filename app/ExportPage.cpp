// app/ExportPage.cpp - the "export" page and its formats
#include "app/ExportPage.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>
#include <vector>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"

namespace pexol {

namespace {

// The format buttons' values: 0 for "from the file name", then each format's place in the
// table from 1 (the values the settings keep).
constexpr int fromExtension = 0;

// What the destination's file dialog offers: every format; the first one's extension names a
// file by default.
FileDialogRequest DestinationRequest() {
  QStringList types;
  for (const ExportFormat& format : ExportFormats()) {
    QStringList patterns;
    for (const std::string& extension : format.extensions)
      patterns << QStringLiteral("*") + QString::fromStdString(extension);
    types << QStringLiteral("%1 (%2)").arg(QLatin1String(format.label), patterns.join(' '));
  }
  const QString first = QString::fromStdString(ExportFormats().front().extensions.front()).mid(1);
  return SaveFile(first, WithAllFiles(types.join(QStringLiteral(";;"))));
}

}  // namespace

ExportPage::ExportPage(const PageContext& context) : RunPage(context) {
  format = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::exportSoftwareBox, ids::exportCorvane, ids::exportLumetta,
                 "export/software");
  std::vector<RadioChoice> choices{{ids::exportFromExtension, "from the file name", fromExtension}};
  const auto formats = ExportFormats();
  for (std::size_t f = 0; f < formats.size(); ++f)
    choices.push_back({formats[f].buttonId, formats[f].label, static_cast<int>(f) + 1});
  AddChoiceBox(this, page, ids::exportFormatBox, QStringLiteral("format"), format, choices, 2);
  AddChoiceBox(
      this, page, ids::exportTimecodeBox, QStringLiteral("timecode"), timecode,
      {{ids::exportNtscDrop, "NTSC drop frame", static_cast<int>(TimecodeMode::NtscDrop)},
       {ids::exportNtscNonDrop, "NTSC non-drop frame", static_cast<int>(TimecodeMode::NtscNonDrop)},
       {ids::exportPal, "PAL", static_cast<int>(TimecodeMode::Pal)}},
      2);
  page->addStretch(1);
  source = AddFileRow(page, ids::exportSourceLabel, QStringLiteral("mpj source file"),
                      ids::exportSource, ids::exportSourceChooser,
                      OpenFile(QStringLiteral("mpj"), ProjectFilter()), "export/source");
  destination =
      AddFileRow(page, ids::exportDestinationLabel, QStringLiteral("timeline destination file"),
                 ids::exportDestination, ids::exportDestinationChooser, DestinationRequest(),
                 "export/destination");
  AddMediaFoldersButton(page, ids::exportMediaFolders);
  AddRunRow(page, ids::exportRun, QStringLiteral("export"), ids::exportProgress, ids::exportStatus,
            ids::exportCancel);

  // Unlike the conversions, the page shows its defaults: the format from the name, drop frame.
  format->button(fromExtension)->setChecked(true);
  timecode->button(static_cast<int>(TimecodeMode::NtscDrop))->setChecked(true);
  Remember(format, "export/format");
  Remember(timecode, "export/timecode");
  PictureFrom(source, timecode);
}

RunPage::Driver ExportPage::MakeRun() {
  ExportJob job;
  job.source = EncodePath(source->text());
  job.destination = EncodePath(destination->text());
  const int chosen = ValueOf(*format);
  const auto formats = ExportFormats();
  if (chosen > 0 && static_cast<std::size_t>(chosen) <= formats.size())
    job.format = formats[static_cast<std::size_t>(chosen) - 1].name;
  job.software = ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(ValueOf(*timecode));
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  return [job](RunObserver& observer) { return RunExport(job, observer); };
}

}  // namespace pexol
