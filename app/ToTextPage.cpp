// app/ToTextPage.cpp - controls of the "mpj to txt" page
#include "app/ToTextPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

ToTextPage::ToTextPage() {
  software = AddRadioGroup(this);
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, 1051, QStringLiteral("software"), software,
               {{1041, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {1042, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  // The values do not follow the places: PAL is 1, FRAME 2, NTSC(non drop frame) 3.
  QGridLayout* edl =
      AddChoiceBox(this, page, 1052, QStringLiteral("EDL output"), timecode,
                   {{1013, "NTSC(drop frame)", static_cast<int>(TimecodeMode::NtscDrop)},
                    {1014, "PAL", static_cast<int>(TimecodeMode::Pal)},
                    {1017, "NTSC(non drop frame)", static_cast<int>(TimecodeMode::NtscNonDrop)},
                    {1040, "FRAME", static_cast<int>(TimecodeMode::Frame)}},
                   2);
  csv = AddCheckBox(this, 1046, QStringLiteral("CSV"));
  edl->addWidget(csv, 2, 0, Qt::AlignLeft);
  utf8 = AddCheckBox(this, 1085, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  page->addStretch(1);
  source = AddFileRow(this, page, 1053, QStringLiteral("mpj source file"), 1016, 1015);
  destination = AddFileRow(this, page, 1054, QStringLiteral("txt destination file"), 1018, 1019);
  const RunRow run = AddRunRow(this, page, 1011, QStringLiteral("convert"), 1021, 1039);
  convert = run.button;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
