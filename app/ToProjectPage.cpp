// app/ToProjectPage.cpp - controls of the "txt to mpj" page
#include "app/ToProjectPage.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

ToProjectPage::ToProjectPage() {
  software = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, 1055, QStringLiteral("software"), software,
               {{1043, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {1044, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  utf8 = AddCheckBox(this, 1086, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  source = AddFileRow(this, page, 1056, QStringLiteral("mpj source file"), 1020, 1022);
  text = AddFileRow(this, page, 1057, QStringLiteral("txt source file"), 1025, 1026);
  // The destination sits apart from the two sources, as it always has.
  page->addStretch(1);
  destination = AddFileRow(this, page, 1058, QStringLiteral("mpj destination file"), 1023, 1024);
  const RunRow run = AddRunRow(this, page, 1012, QStringLiteral("convert"), 1038, 1045);
  convert = run.button;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
