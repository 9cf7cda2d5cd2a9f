// app/CheckPage.cpp - controls of the "find" page
#include "app/CheckPage.h"

#include <QVBoxLayout>

#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

CheckPage::CheckPage() {
  software = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, 1070, QStringLiteral("software"), software,
               {{1071, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {1072, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  page->addStretch(1);
  source = AddFileRow(this, page, 1073, QStringLiteral("mpj source file"), 1074, 1075);
  searchFolder = AddFileRow(this, page, 1082, QStringLiteral("media search folder"), 1083, 1084);
  report = AddFileRow(this, page, 1076, QStringLiteral("txt destination file"), 1077, 1078);
  const RunRow run = AddRunRow(this, page, 1079, QStringLiteral("check"), 1080, 1081);
  check = run.button;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
