// app/ToProjectPage.cpp - the "txt to mpj" page
#include "app/ToProjectPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "run/RunConversions.h"

namespace pexol {

ToProjectPage::ToProjectPage(const PageContext& context) : RunPage(context) {
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::toProjectSoftwareBox, ids::toProjectCorvane, ids::toProjectLumetta,
                 "toProject/software");
  utf8 = AddCheckBox(this, ids::toProjectUtf8, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  source = AddFileRow(page, ids::toProjectSourceLabel, QStringLiteral("mpj source file"),
                      ids::toProjectSource, ids::toProjectSourceChooser,
                      OpenFile(QStringLiteral("mpj"), ProjectFilter()), "toProject/source");
  text = AddFileRow(page, ids::toProjectTextLabel, QStringLiteral("txt source file"),
                    ids::toProjectText, ids::toProjectTextChooser,
                    OpenFile(QStringLiteral("txt"), TextFilter()), "toProject/text");
  // The destination sits apart from the two sources, as it always has.
  page->addStretch(1);
  destination =
      AddFileRow(page, ids::toProjectDestinationLabel, QStringLiteral("mpj destination file"),
                 ids::toProjectDestination, ids::toProjectDestinationChooser,
                 SaveFile(QStringLiteral("mpj"), ProjectFilter()), "toProject/destination");
  AddRunRow(page, ids::toProjectConvert, QStringLiteral("convert"), ids::toProjectProgress,
            ids::toProjectStatus, ids::toProjectCancel);

  Remember(utf8, "toProject/utf8");
  PictureFrom(source);
}

RunPage::Driver ToProjectPage::MakeRun() {
  ToProjectJob job{EncodePath(source->text()),
                   EncodePath(text->text()),
                   EncodePath(destination->text()),
                   {},
                   ChosenSoftware()};
  job.options.encoding = utf8->isChecked() ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  return [job](RunObserver& observer) { return RunTextToProject(job, observer); };
}

}  // namespace pexol
