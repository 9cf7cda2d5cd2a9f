// app/ToTextPage.cpp - controls of the "mpj to txt" page
#include "app/ToTextPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

ToTextPage::ToTextPage() {
  software = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, ids::toTextSoftwareBox, QStringLiteral("software"), software,
               {{ids::toTextCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {ids::toTextLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  // The values do not follow the places: PAL is 1, FRAME 2, NTSC(non drop frame) 3.
  QGridLayout* edl = AddChoiceBox(
      this, page, ids::toTextTimecodeBox, QStringLiteral("EDL output"), timecode,
      {{ids::toTextNtscDrop, "NTSC(drop frame)", static_cast<int>(TimecodeMode::NtscDrop)},
       {ids::toTextPal, "PAL", static_cast<int>(TimecodeMode::Pal)},
       {ids::toTextNtscNonDrop, "NTSC(non drop frame)",
        static_cast<int>(TimecodeMode::NtscNonDrop)},
       {ids::toTextFrame, "FRAME", static_cast<int>(TimecodeMode::Frame)}},
      2);
  csv = AddCheckBox(this, ids::toTextCsv, QStringLiteral("CSV"));
  edl->addWidget(csv, 2, 0, Qt::AlignLeft);
  utf8 = AddCheckBox(this, ids::toTextUtf8, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  page->addStretch(1);
  source = AddFileRow(this, page, ids::toTextSourceLabel, QStringLiteral("mpj source file"),
                      ids::toTextSource, ids::toTextSourceChooser);
  destination =
      AddFileRow(this, page, ids::toTextDestinationLabel, QStringLiteral("txt destination file"),
                 ids::toTextDestination, ids::toTextDestinationChooser);
  const RunRow run = AddRunRow(this, page, ids::toTextConvert, QStringLiteral("convert"),
                               ids::toTextProgress, ids::toTextStatus, ids::toTextCancel);
  convert = run.button;
  cancel = run.cancel;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
