// app/ExportPage.cpp - controls of the "export" page
#include "app/ExportPage.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "core/Options.h"
#include "export/RunExport.h"

namespace pexol {

ExportPage::ExportPage() {
  software = AddRadioGroup(this);
  format = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, ids::exportSoftwareBox, QStringLiteral("software"), software,
               {{ids::exportCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {ids::exportLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  AddChoiceBox(this, page, ids::exportFormatBox, QStringLiteral("format"), format,
               {{ids::exportFromExtension, "from the file name",
                 static_cast<int>(ExportFormat::FromExtension)},
                {ids::exportOtio, "OpenTimelineIO", static_cast<int>(ExportFormat::Otio)},
                {ids::exportCmx3600, "CMX 3600", static_cast<int>(ExportFormat::Cmx3600)},
                {ids::exportMlt, "MLT (Shotcut)", static_cast<int>(ExportFormat::Mlt)}},
               2);
  AddChoiceBox(
      this, page, ids::exportTimecodeBox, QStringLiteral("timecode"), timecode,
      {{ids::exportNtscDrop, "NTSC drop frame", static_cast<int>(TimecodeMode::NtscDrop)},
       {ids::exportNtscNonDrop, "NTSC non-drop frame", static_cast<int>(TimecodeMode::NtscNonDrop)},
       {ids::exportPal, "PAL", static_cast<int>(TimecodeMode::Pal)}},
      2);
  page->addStretch(1);
  source = AddFileRow(this, page, ids::exportSourceLabel, QStringLiteral("mpj source file"),
                      ids::exportSource, ids::exportSourceChooser);
  destination = AddFileRow(this, page, ids::exportDestinationLabel,
                           QStringLiteral("timeline destination file"), ids::exportDestination,
                           ids::exportDestinationChooser);
  mediaFolders = AddButton(this, ids::exportMediaFolders, QStringLiteral("media folders..."));
  page->addWidget(mediaFolders, 0, Qt::AlignRight);
  const RunRow run = AddRunRow(this, page, ids::exportRun, QStringLiteral("export"),
                               ids::exportProgress, ids::exportStatus, ids::exportCancel);
  exportButton = run.button;
  cancel = run.cancel;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
