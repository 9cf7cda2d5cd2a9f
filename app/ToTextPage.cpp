// app/ToTextPage.cpp - the "mpj to txt" page
#include "app/ToTextPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "run/RunConversions.h"

namespace pexol {

ToTextPage::ToTextPage(const PageContext& context) : RunPage(context) {
  timecode = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::toTextSoftwareBox, ids::toTextCorvane, ids::toTextLumetta,
                 "toText/software");
  // The values do not follow the places: PAL is 1, FRAME 2, NTSC(non drop frame) 3.
  QGridLayout* edl = AddChoiceBox(
      this, page, ids::toTextTimecodeBox, QStringLiteral("EDL output"), timecode,
      {{ids::toTextNtscDrop, "NTSC(drop frame)", static_cast<int>(TimecodeMode::NtscDrop)},
       {ids::toTextPal, "PAL", static_cast<int>(TimecodeMode::Pal)},
       {ids::toTextNtscNonDrop, "NTSC(non drop frame)",
        static_cast<int>(TimecodeMode::NtscNonDrop)},
       {ids::toTextFrame, "FRAME", static_cast<int>(TimecodeMode::Frame)}},
      2);
  csv = AddCheckBox(this, ids::toTextCsv, QStringLiteral("CSV"));
  edl->addWidget(csv, 2, 0, Qt::AlignLeft);
  utf8 = AddCheckBox(this, ids::toTextUtf8, QStringLiteral("UTF-8 text"));
  page->addWidget(utf8, 0, Qt::AlignLeft);
  page->addStretch(1);
  source = AddFileRow(page, ids::toTextSourceLabel, QStringLiteral("mpj source file"),
                      ids::toTextSource, ids::toTextSourceChooser,
                      OpenFile(QStringLiteral("mpj"), ProjectFilter()), "toText/source");
  destination =
      AddFileRow(page, ids::toTextDestinationLabel, QStringLiteral("txt destination file"),
                 ids::toTextDestination, ids::toTextDestinationChooser,
                 SaveFile(QStringLiteral("txt"), TextFilter()), "toText/destination");
  AddRunRow(page, ids::toTextConvert, QStringLiteral("convert"), ids::toTextProgress,
            ids::toTextStatus, ids::toTextCancel);

  Remember(timecode, "toText/timecode");
  Remember(csv, "toText/csv");
  Remember(utf8, "toText/utf8");
  PictureFrom(source, timecode);
}

RunPage::Driver ToTextPage::MakeRun() {
  ToTextJob job{EncodePath(source->text()), EncodePath(destination->text()), {}, ChosenSoftware()};
  // No button ticked means the first of the group, as it always has.
  job.options.timecode = static_cast<TimecodeMode>(ValueOf(*timecode));
  job.options.csv = csv->isChecked();
  job.options.encoding = utf8->isChecked() ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  return [job](RunObserver& observer) { return RunProjectToText(job, observer); };
}

}  // namespace pexol
