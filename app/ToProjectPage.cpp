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
  software = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddChoiceBox(
      this, page, ids::toProjectSoftwareBox, QStringLiteral("software"), software,
      {{ids::toProjectCorvane, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
       {ids::toProjectLumetta, "Lumetta", static_cast<int>(Software::Lumetta)}},
      2);
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

  Remember(software, "toProject/software");
  Remember(utf8, "toProject/utf8");
  Pictured(source);
}

PictureRequest ToProjectPage::Picture() const {
  PictureRequest request;
  request.source = source->text();
  request.software = ChoiceOf(*software);
  return request;
}

RunPage::Driver ToProjectPage::MakeRun() {
  ToProjectJob job{EncodePath(source->text()),
                   EncodePath(text->text()),
                   EncodePath(destination->text()),
                   {},
                   ChoiceOf(*software)};
  job.options.encoding = utf8->isChecked() ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  return [job](RunObserver& observer) { return RunTextToProject(job, observer); };
}

}  // namespace pexol
