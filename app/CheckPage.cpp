// app/CheckPage.cpp - controls of the "find" page
#include "app/CheckPage.h"

#include "app/DialogUnits.h"
#include "app/Pages.h"
#include "core/Options.h"

namespace pexol {

CheckPage::CheckPage(QWidget* window) : QWidget(window) {
  PlaceInDialogUnits(this, pageArea.x, pageArea.y, pageArea.width, pageArea.height);
  software = AddRadioGroup(this);

  AddGroupBox(this, 1070, QStringLiteral("software"), {15, 30, 155, 25});
  AddRadio(this, 1071, QStringLiteral("Corvane, Brisko"), {30, 40, 71, 10}, software,
           static_cast<int>(Software::CorvaneBrisko));
  AddRadio(this, 1072, QStringLiteral("Lumetta"), {115, 40, wideLumetta, 10}, software,
           static_cast<int>(Software::Lumetta));
  AddLabel(this, 1073, QStringLiteral("mpj source file"), {15, 115, 102, 8});
  source = AddEdit(this, 1074, {15, 125, 140, 15});
  AddButton(this, 1075, QStringLiteral("..."), {155, 125, 15, 15});
  AddLabel(this, 1076, QStringLiteral("txt destination file"), {15, 145, 102, 8});
  report = AddEdit(this, 1077, {15, 155, 140, 15});
  AddButton(this, 1078, QStringLiteral("..."), {155, 155, 15, 15});
  check = AddButton(this, 1079, QStringLiteral("check"), {15, 175, 30, 30});
  progress = AddProgressBar(this, 1080, {50, 175, 120, 15});
  status = AddStatusLine(this, 1081, {50, 190, 120, 15});
}

}  // namespace pexol
