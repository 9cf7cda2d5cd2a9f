// app/CheckPage.cpp - controls of the "find" page
#include "app/CheckPage.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

CheckPage::CheckPage() {
  software = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(this, page, ids::findSoftwareBox, QStringLiteral("software"), software,
               {{ids::findCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {ids::findLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  page->addStretch(1);
  source = AddFileRow(this, page, ids::findSourceLabel, QStringLiteral("mpj source file"),
                      ids::findSource, ids::findSourceChooser);
  searchFolder =
      AddFileRow(this, page, ids::findSearchFolderLabel, QStringLiteral("media search folder"),
                 ids::findSearchFolder, ids::findSearchFolderChooser);
  mediaFolders = AddButton(this, ids::findMediaFolders, QStringLiteral("media folders..."));
  page->addWidget(mediaFolders, 0, Qt::AlignRight);
  report = AddFileRow(this, page, ids::findReportLabel, QStringLiteral("txt destination file"),
                      ids::findReport, ids::findReportChooser);
  const RunRow run = AddRunRow(this, page, ids::findCheck, QStringLiteral("check"),
                               ids::findProgress, ids::findStatus, ids::findCancel);
  check = run.button;
  cancel = run.cancel;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
