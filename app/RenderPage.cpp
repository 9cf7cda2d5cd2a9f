// app/RenderPage.cpp - the "render" page and its choices
#include "app/RenderPage.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>
#include <vector>

#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "render/RunRender.h"

namespace pexol {

namespace {

// Every container the render writes; the first one's extension names a file by default.
FileDialogRequest DestinationRequest() {
  QStringList types;
  for (const RenderContainer& container : RenderContainers())
    types << QStringLiteral("%1 (*%2)")
                 .arg(QLatin1String(container.label), QLatin1String(container.extension));
  return SaveFile(QLatin1String(RenderContainers().front().extension).mid(1),
                  WithAllFiles(types.join(QStringLiteral(";;"))));
}

}  // namespace

RenderPage::RenderPage(const PageContext& context) : RunPage(context) {
  rate = AddRadioGroup(this);
  missing = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::renderSoftwareBox, ids::renderCorvane, ids::renderLumetta,
                 "render/software");
  std::vector<RadioChoice> rates;
  for (const RenderRate& choice : RenderRates())
    rates.push_back({choice.mode == TimecodeMode::Pal ? ids::renderPal : ids::renderNtsc,
                     choice.label, static_cast<int>(choice.mode)});
  AddChoiceBox(this, page, ids::renderRateBox, QStringLiteral("video"), rate, rates, 2);
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
                 ids::renderDestination, ids::renderDestinationChooser, DestinationRequest(),
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
