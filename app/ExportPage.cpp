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
#include "export/RunExport.h"

namespace pexol {

namespace {

// The buttons of the export's formats, in the order of its list; "from the file name" comes
// first.
struct FormatButton {
  ExportFormat format;
  int id;
};
constexpr FormatButton formatButtons[] = {
    {ExportFormat::Otio, ids::exportOtio}, {ExportFormat::Cmx3600, ids::exportCmx3600},
    {ExportFormat::Mlt, ids::exportMlt},   {ExportFormat::Kdenlive, ids::exportKdenlive},
    {ExportFormat::Fcp7, ids::exportFcp7},
};

int ButtonOf(ExportFormat format) {
  for (const FormatButton& button : formatButtons)
    if (button.format == format) return button.id;
  qFatal("an export format without a button");
}

// What the destination's file dialog offers: every format; the first one's extension names a
// file by default.
FileDialogRequest DestinationRequest() {
  QStringList types;
  for (const ExportFormatName& name : ExportFormatNames())
    types
        << QStringLiteral("%1 (*%2)").arg(QLatin1String(name.label), QLatin1String(name.extension));
  const QString first = QLatin1String(ExportFormatNames().front().extension).mid(1);
  return SaveFile(first, WithAllFiles(types.join(QStringLiteral(";;"))));
}

}  // namespace

ExportPage::ExportPage(const PageContext& context) : RunPage(context) {
  format = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::exportSoftwareBox, ids::exportCorvane, ids::exportLumetta,
                 "export/software");
  std::vector<RadioChoice> choices{{ids::exportFromExtension, "from the file name",
                                    static_cast<int>(ExportFormat::FromExtension)}};
  for (const ExportFormatName& name : ExportFormatNames())
    choices.push_back({ButtonOf(name.format), name.label, static_cast<int>(name.format)});
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
  format->button(static_cast<int>(ExportFormat::FromExtension))->setChecked(true);
  timecode->button(static_cast<int>(TimecodeMode::NtscDrop))->setChecked(true);
  Remember(format, "export/format");
  Remember(timecode, "export/timecode");
  PictureFrom(source, timecode);
}

RunPage::Driver ExportPage::MakeRun() {
  ExportJob job;
  job.source = EncodePath(source->text());
  job.destination = EncodePath(destination->text());
  job.format = static_cast<ExportFormat>(ValueOf(*format));
  job.software = ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(ValueOf(*timecode));
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  return [job](RunObserver& observer) { return RunExport(job, observer); };
}

}  // namespace pexol
