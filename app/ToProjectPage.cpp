// app/ToProjectPage.cpp - controls of the "txt to mpj" page
#include "app/ToProjectPage.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "core/Options.h"

namespace pexol {

ToProjectPage::ToProjectPage() {
  software = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(
      this, page, ids::toProjectSoftwareBox, QStringLiteral("software"), software,
      {{ids::toProjectCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
       {ids::toProjectLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
      2);
  utf8 = AddCheckBox(this, ids::toProjectUtf8, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  source = AddFileRow(this, page, ids::toProjectSourceLabel, QStringLiteral("mpj source file"),
                      ids::toProjectSource, ids::toProjectSourceChooser);
  text = AddFileRow(this, page, ids::toProjectTextLabel, QStringLiteral("txt source file"),
                    ids::toProjectText, ids::toProjectTextChooser);
  // The destination sits apart from the two sources, as it always has.
  page->addStretch(1);
  destination =
      AddFileRow(this, page, ids::toProjectDestinationLabel, QStringLiteral("mpj destination file"),
                 ids::toProjectDestination, ids::toProjectDestinationChooser);
  const RunRow run = AddRunRow(this, page, ids::toProjectConvert, QStringLiteral("convert"),
                               ids::toProjectProgress, ids::toProjectStatus, ids::toProjectCancel);
  convert = run.button;
  cancel = run.cancel;
  progress = run.progress;
  status = run.status;
}

}  // namespace pexol
