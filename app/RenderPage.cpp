// app/RenderPage.cpp - the "render" page and its choices
#include "app/RenderPage.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "render/RunRender.h"

namespace pexol {

RenderPage::RenderPage(const PageContext& context) : RunPage(context) {
  rate = AddRadioGroup(this);
  missing = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::renderSoftwareBox, ids::renderCorvane, ids::renderLumetta,
                 "render/software");
  AddChoiceBox(
      this, page, ids::renderRateBox, QStringLiteral("video"), rate,
      {{ids::renderNtsc, "NTSC 720x480, 29.97 frames a second",
        static_cast<int>(TimecodeMode::NtscDrop)},
       {ids::renderPal, "PAL 720x576, 25 frames a second", static_cast<int>(TimecodeMode::Pal)}},
      2);
  AddChoiceBox(
      this, page, ids::renderMissingBox, QStringLiteral("missing media"), missing,
      {{ids::renderMissingFail, "do not render; list them", static_cast<int>(MissingMedia::Fail)},
       {ids::renderMissingBlack, "render black and silence in their place",
        static_cast<int>(MissingMedia::Black)}},
      2);
  auto* qualityRow = new QHBoxLayout;
  qualityRow->addWidget(AddLabel(this, ids::renderQualityLabel,
                                 QStringLiteral("quality (0 best, 51 smallest file)")));
  quality = new QSpinBox(this);
  quality->setObjectName(QString::number(ids::renderQuality));
  quality->setRange(0, 51);
  quality->setValue(RenderJob{}.quality);
  qualityRow->addWidget(quality);
  qualityRow->addStretch(1);
  page->addLayout(qualityRow);
  page->addStretch(1);
  source = AddFileRow(page, ids::renderSourceLabel, QStringLiteral("mpj source file"),
                      ids::renderSource, ids::renderSourceChooser,
                      OpenFile(QStringLiteral("mpj"), ProjectFilter()), "render/source");
  destination =
      AddFileRow(page, ids::renderDestinationLabel, QStringLiteral("video destination file"),
                 ids::renderDestination, ids::renderDestinationChooser,
                 SaveFile(QStringLiteral("mp4"),
                          WithAllFiles(QStringLiteral("MP4 video (*.mp4);;Matroska video (*.mkv);;"
                                                      "QuickTime movie (*.mov)"))),
                 "render/destination");
  AddMediaFoldersButton(page, ids::renderMediaFolders);
  AddRunRow(page, ids::renderRun, QStringLiteral("render"), ids::renderProgress, ids::renderStatus,
            ids::renderCancel);

  rate->button(static_cast<int>(TimecodeMode::NtscDrop))->setChecked(true);
  missing->button(static_cast<int>(MissingMedia::Fail))->setChecked(true);
  Remember(rate, "render/rate");
  Remember(missing, "render/missing");
  Remember(quality, "render/quality");
  PictureFrom(source, rate);
}

RunPage::Driver RenderPage::MakeRun() {
  RenderJob job;
  job.source = EncodePath(source->text());
  job.destination = EncodePath(destination->text());
  job.software = ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(ValueOf(*rate));
  job.missing = static_cast<MissingMedia>(ValueOf(*missing));
  job.quality = quality->value();
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  return [job](RunObserver& observer) { return RunRender(job, observer); };
}

}  // namespace pexol
