// app/ToTextPage.cpp - controls of the "mpj to txt" page
#include "app/ToTextPage.h"

#include "app/DialogUnits.h"
#include "app/Pages.h"
#include "core/Options.h"

namespace pexol {

ToTextPage::ToTextPage(QWidget* window) : QWidget(window) {
  PlaceInDialogUnits(this, pageArea.x, pageArea.y, pageArea.width, pageArea.height);
  software = AddRadioGroup(this);
  timecode = AddRadioGroup(this);

  AddGroupBox(this, 1051, QStringLiteral("software"), {15, 30, 155, 25});
  AddRadio(this, 1041, QStringLiteral("Corvane, Brisko"), {30, 40, 71, 10}, software,
           static_cast<int>(Software::CorvaneBrisko));
  AddRadio(this, 1042, QStringLiteral("Lumetta"), {115, 40, wideLumetta, 10}, software,
           static_cast<int>(Software::Lumetta));
  AddGroupBox(this, 1052, QStringLiteral("EDL output"), {15, 60, 155, 50});
  // The values do not follow the places: PAL is 1, FRAME 2, NTSC(non drop frame) 3. The left
  // column is wider than the original face needed (see Pages.h).
  AddRadio(this, 1013, QStringLiteral("NTSC(drop frame)"), {30, 70, 80, 10}, timecode,
           static_cast<int>(TimecodeMode::NtscDrop));
  AddRadio(this, 1014, QStringLiteral("PAL"), {115, 70, 24, 10}, timecode,
           static_cast<int>(TimecodeMode::Pal));
  AddRadio(this, 1017, QStringLiteral("NTSC(non drop frame)"), {30, 80, 85, 10}, timecode,
           static_cast<int>(TimecodeMode::NtscNonDrop));
  AddRadio(this, 1040, QStringLiteral("FRAME"), {115, 80, 34, 10}, timecode,
           static_cast<int>(TimecodeMode::Frame));
  csv = AddCheckBox(this, 1046, QStringLiteral("CSV"), {30, 95, 49, 11});
  AddLabel(this, 1053, QStringLiteral("mpj source file"), {15, 115, 102, 8});
  source = AddEdit(this, 1016, {15, 125, 140, 15});
  AddButton(this, 1015, QStringLiteral("..."), {155, 125, 15, 15});
  AddLabel(this, 1054, QStringLiteral("txt destination file"), {15, 145, 102, 8});
  destination = AddEdit(this, 1018, {15, 155, 140, 15});
  AddButton(this, 1019, QStringLiteral("..."), {155, 155, 15, 15});
  convert = AddButton(this, 1011, QStringLiteral("convert"), {15, 175, 30, 30});
  progress = AddProgressBar(this, 1021, {50, 175, 120, 15});
  status = AddStatusLine(this, 1039, {50, 190, 120, 15});
}

}  // namespace pexol
