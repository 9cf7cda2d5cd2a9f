// app/RenderPage.cpp - the "render" page's widgets
#include "app/RenderPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/pages/ControlIds.h"
#include "app/pages/RenderPage.h"
#include "core/Translation.h"

namespace pexol {

RenderPage::RenderPage(const PageContext& context)
    : RunPage(context, std::make_unique<pages::RenderPage>()) {
  const auto& render = static_cast<const pages::RenderPage&>(*model);
  AddParts(new QVBoxLayout(this), [this, &render](QBoxLayout* column) {
    auto* row = new QHBoxLayout;
    row->addWidget(
        AddLabel(this, ids::renderQualityLabel, QtText(Tr("quality (0 best, 51 smallest file)"))));
    auto* quality = new QSpinBox(this);
    quality->setObjectName(QString::number(ids::renderQuality));
    Bind(quality, render.quality);
    row->addWidget(quality);
    row->addStretch(1);
    // The part to render, as the command line's --from and --to take it, each field as wide
    // as a drop-frame timecode: the row keeps its room for the quality.
    const auto addFrameField = [this, row](int labelId, const QString& label, int editId,
                                           const QString& placeholder, const QString& tip,
                                           int field) {
      row->addWidget(AddLabel(this, labelId, label));
      QLineEdit* edit = AddEdit(this, editId);
      edit->setPlaceholderText(placeholder);
      edit->setToolTip(tip);
      edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00;000")) +
                            edit->fontMetrics().averageCharWidth() * 2);
      Bind(edit, field);
      row->addWidget(edit);
    };
    // TRANSLATORS: "from" and "to" name the first frame to render and the one to end before.
    addFrameField(ids::renderFromLabel, QtText(Tr("from")), ids::renderFrom, QtText(Tr("start")),
                  QtText(Tr("first frame: a frame number or a timecode")), render.from);
    addFrameField(ids::renderToLabel, QtText(Tr("to")), ids::renderTo, QtText(Tr("end")),
                  QtText(Tr("frame to end before: a frame number or a timecode")), render.to);
    column->addLayout(row);
  });
}

}  // namespace pexol
