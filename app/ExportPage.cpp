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

/// One format of the page: its button, and what the destination's file dialog offers for it
/// (a format without an extension is not offered).
struct FormatChoice {
  int id;
  const char* text;
  ExportFormat format;
  const char* extension;
};

// The format buttons in their order on the page; the first one's extension names a file by
// default.
constexpr FormatChoice formats[] = {
    {ids::exportFromExtension, "from the file name", ExportFormat::FromExtension, nullptr},
    {ids::exportOtio, "OpenTimelineIO", ExportFormat::Otio, "otio"},
    {ids::exportCmx3600, "CMX 3600", ExportFormat::Cmx3600, "edl"},
    {ids::exportMlt, "MLT (Shotcut)", ExportFormat::Mlt, "mlt"},
};

FileDialogRequest DestinationRequest() {
  QStringList types;
  QString first;
  for (const FormatChoice& choice : formats) {
    if (choice.extension == nullptr) continue;
    const QString extension = QLatin1String(choice.extension);
    if (first.isEmpty()) first = extension;
    types << QStringLiteral("%1 (*.%2)").arg(QLatin1String(choice.text), extension);
  }
  return SaveFile(first, WithAllFiles(types.join(QStringLiteral(";;"))));
}

}  // namespace

ExportPage::ExportPage(const PageContext& context) : RunPage(context) {
  software = AddRadioGroup(this);
  format = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, ids::exportSoftwareBox, QStringLiteral("software"), software,
               {{ids::exportCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {ids::exportLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  std::vector<RadioChoice> formatButtons;
  for (const FormatChoice& choice : formats)
    formatButtons.push_back({choice.id, choice.text, static_cast<int>(choice.format)});
  AddChoiceBox(this, page, ids::exportFormatBox, QStringLiteral("format"), format, formatButtons,
               2);
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
  Remember(software, "export/software");
  Remember(format, "export/format");
  Remember(timecode, "export/timecode");
  Pictured(source);
  Pictured(timecode);
}

PictureRequest ExportPage::Picture() const {
  PictureRequest request;
  request.source = source->text();
  request.timecode = static_cast<TimecodeMode>(ValueOf(*timecode));
  request.software = ChoiceOf(*software);
  return request;
}

RunPage::Driver ExportPage::MakeRun() {
  ExportJob job;
  job.source = EncodePath(source->text());
  job.destination = EncodePath(destination->text());
  job.format = static_cast<ExportFormat>(ValueOf(*format));
  job.software = ChoiceOf(*software);
  job.timecode = static_cast<TimecodeMode>(ValueOf(*timecode));
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  return [job](RunObserver& observer) { return RunExport(job, observer); };
}

}  // namespace pexol
