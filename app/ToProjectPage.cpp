// app/ToProjectPage.cpp - controls of the "txt to mpj" page
#include "app/ToProjectPage.h"

#include "app/DialogUnits.h"
#include "app/Pages.h"
#include "core/Options.h"

namespace pexol {

ToProjectPage::ToProjectPage(QWidget* window) : QWidget(window) {
  PlaceInDialogUnits(this, pageArea.x, pageArea.y, pageArea.width, pageArea.height);
  software = AddRadioGroup(this);

  AddGroupBox(this, 1055, QStringLiteral("software"), {15, 30, 155, 25});
  AddRadio(this, 1043, QStringLiteral("Corvane, Brisko"), {30, 40, 71, 10}, software,
           static_cast<int>(Software::CorvaneBrisko));
  AddRadio(this, 1044, QStringLiteral("Lumetta"), {115, 40, wideLumetta, 10}, software,
           static_cast<int>(Software::Lumetta));
  AddLabel(this, 1056, QStringLiteral("mpj source file"), {15, 60, 102, 8});
  source = AddEdit(this, 1020, {15, 70, 140, 15});
  AddButton(this, 1022, QStringLiteral("..."), {155, 70, 15, 15});
  AddLabel(this, 1057, QStringLiteral("txt source file"), {15, 90, 102, 8});
  text = AddEdit(this, 1025, {15, 100, 140, 15});
  AddButton(this, 1026, QStringLiteral("..."), {155, 100, 15, 15});
  AddLabel(this, 1058, QStringLiteral("mpj destination file"), {15, 145, 102, 8});
  destination = AddEdit(this, 1023, {15, 155, 140, 15});
  AddButton(this, 1024, QStringLiteral("..."), {155, 155, 15, 15});
  convert = AddButton(this, 1012, QStringLiteral("convert"), {15, 175, 30, 30});
  progress = AddProgressBar(this, 1038, {50, 175, 120, 15});
  status = AddStatusLine(this, 1045, {50, 190, 120, 15});
}

}  // namespace pexol
