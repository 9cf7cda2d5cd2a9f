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

#include "app/ChildRender.h"
#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "render/RenderChoices.h"

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
  size = AddRadioGroup(this);
  missing = AddRadioGroup(this);
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::renderSoftwareBox, ids::renderCorvane, ids::renderLumetta,
                 "render/software");
  std::vector<RadioChoice> rates;
  for (const RenderRate& choice : RenderRates())
    rates.push_back({choice.mode == TimecodeMode::Pal ? ids::renderPal : ids::renderNtsc,
                     choice.label, static_cast<int>(choice.mode)});
  AddChoiceBox(this, page, ids::renderRateBox, QStringLiteral("video"), rate, rates, 2);
  std::vector<RadioChoice> sizes;
  for (const RenderSizeChoice& choice : RenderSizes()) {
    const int index = static_cast<int>(sizes.size());
    sizes.push_back({ids::renderSizeFirst + index, choice.label, index});
  }
  AddChoiceBox(this, page, ids::renderSizeBox, QStringLiteral("size"), size, sizes, 3);
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
  quality->setValue(ChildRenderJob{}.quality);
  qualityRow->addWidget(quality);
  qualityRow->addStretch(1);
  // The part to render, as the command line's --from and --to take it.
  qualityRow->addWidget(AddLabel(this, ids::renderFromLabel, QStringLiteral("from")));
  from = AddEdit(this, ids::renderFrom);
  from->setPlaceholderText(QStringLiteral("start"));
  from->setToolTip(QStringLiteral("first frame: a frame number or a timecode"));
  qualityRow->addWidget(from);
  qualityRow->addWidget(AddLabel(this, ids::renderToLabel, QStringLiteral("to")));
  to = AddEdit(this, ids::renderTo);
  to->setPlaceholderText(QStringLiteral("end"));
  to->setToolTip(QStringLiteral("frame to end before: a frame number or a timecode"));
  qualityRow->addWidget(to);
  // As wide as a drop-frame timecode: the row keeps its room for the quality.
  const int timecodeWidth = from->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00;000")) +
                            from->fontMetrics().averageCharWidth() * 2;
  from->setMaximumWidth(timecodeWidth);
  to->setMaximumWidth(timecodeWidth);
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
  size->button(0)->setChecked(true);
  Remember(rate, "render/rate");
  Remember(missing, "render/missing");
  Remember(size, "render/size");
  Remember(quality, "render/quality");
  Remember(from, "render/from");
  Remember(to, "render/to");
  PictureFrom(source, rate);
}

RunPage::Driver RenderPage::MakeRun() {
  ChildRenderJob job;
  job.source = source->text();
  job.destination = destination->text();
  job.software = ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(ValueOf(*rate));
  job.blackForMissing = ValueOf(*missing) == static_cast<int>(MissingMedia::Black);
  job.quality = quality->value();
  job.from = from->text().trimmed();
  job.to = to->text().trimmed();
  job.size = QLatin1String(RenderSizes()[static_cast<std::size_t>(ValueOf(*size))].name);
  job.maps = context.media.maps;
  job.searchFolders = context.media.searchFolders;
  return [program = RenderProgram(), arguments = RenderArguments(job)](RunObserver& observer) {
    return RunChildRender(program, arguments, observer);
  };
}

}  // namespace pexol
