// app/ExportPage.cpp - controls of the "export" page
#include "app/ExportPage.h"

#include <QVBoxLayout>

#include "app/Controls.h"
#include "core/Options.h"
#include "export/RunExport.h"

namespace pexol {

ExportPage::ExportPage() {
  software = AddRadioGroup(this);
  format = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, 1090, QStringLiteral("software"), software,
               {{1091, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {1092, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  AddChoiceBox(this, page, 1093, QStringLiteral("format"), format,
               {{1094, "from the file name", static_cast<int>(ExportFormat::FromExtension)},
                {1095, "OpenTimelineIO", static_cast<int>(ExportFormat::Otio)},
                {1096, "CMX 3600", static_cast<int>(ExportFormat::Cmx3600)},
                {1097, "MLT (Shotcut)", static_cast<int>(ExportFormat::Mlt)}},
               2);
  AddChoiceBox(this, page, 1098, QStringLiteral("timecode"), timecode,
               {{1099, "NTSC drop frame", static_cast<int>(TimecodeMode::NtscDrop)},
                {1100, "NTSC non-drop frame", static_cast<int>(TimecodeMode::NtscNonDrop)},
                {1101, "PAL", static_cast<int>(TimecodeMode::Pal)}},
               2);
  page->addStretch(1);
  source = AddFileRow(this, page, 1102, QStringLiteral("mpj source file"), 1103, 1104);
  destination =
      AddFileRow(this, page, 1105, QStringLiteral("timeline destination file"), 1106, 1107);
  const RunRow run = AddRunRow(this, page, 1108, QStringLiteral("export"), 1109, 1110);
  exportButton = run.button;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
