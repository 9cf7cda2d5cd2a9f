// app/PageView.cpp - a page layer page's parts as Qt widgets in a column
#include "app/PageView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "app/CollectDialog.h"
#include "app/Controls.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "app/pages/FindPage.h"

namespace pexol {

PageView::PageView(const PageContext& context, std::unique_ptr<pages::Page> page)
    : RunPage(context, std::move(page)) {
  auto* column = new QVBoxLayout(this);
  QGridLayout* boxAbove = nullptr;
  int rowsAbove = 0;
  for (const pages::FormPart& part : model->Parts()) {
    switch (part.kind) {
      case pages::PartKind::Choices: {
        std::vector<RadioChoice> choices;
        for (const pages::Choice& choice : part.choices)
          choices.push_back({choice.id, choice.text.c_str(), choice.value});
        QButtonGroup* group = AddRadioGroup(this);
        boxAbove = AddChoiceBox(this, column, part.id, QString::fromStdString(part.text), group,
                                std::span<const RadioChoice>(choices), part.columns);
        rowsAbove = (static_cast<int>(choices.size()) + part.columns - 1) / part.columns;
        Bind(group, part.field);
        break;
      }
      case pages::PartKind::Check: {
        QCheckBox* box = AddCheckBox(this, part.id, QString::fromStdString(part.text));
        if (part.inBoxAbove && boxAbove != nullptr)
          boxAbove->addWidget(box, rowsAbove++, 0, Qt::AlignLeft);
        else
          column->addWidget(box, 0, Qt::AlignLeft);
        Bind(box, part.field);
        break;
      }
      case pages::PartKind::Stretch:
        column->addStretch(1);
        break;
      case pages::PartKind::File:
        AddFileRowOf(column, part.labelId, QString::fromStdString(part.text), part.editId,
                     part.chooserId, ToQt(part.request), part.field);
        break;
      case pages::PartKind::MediaFolders:
        AddMediaFoldersButton(column, part.id);
        break;
      case pages::PartKind::Run:
        AddRunRow(column, part.id, QString::fromStdString(part.text), part.progressId,
                  part.statusId, part.cancelId);
        break;
      case pages::PartKind::Action: {
        QPushButton* button = AddButton(this, part.id, QString::fromStdString(part.text));
        column->addWidget(button, 0, Qt::AlignRight);
        connect(button, &QPushButton::clicked, this, &PageView::Act);
        connect(&context.gate, &RunGate::BusyChanged, button,
                [button](bool busy) { button->setEnabled(!busy); });
        break;
      }
    }
  }
}

RunPage::Driver PageView::MakeRun() {
  return model->MakeRun(context.media.Shared());
}

void PageView::Act() {
  auto* find = dynamic_cast<pages::FindPage*>(model.get());
  if (find == nullptr) return;
  auto* dialog = new CollectDialog(this, context.prompts);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, find, dialog] {
    find->Collect(dialog->Folder().toStdString(), dialog->Formats(), dialog->Link());
    StartUnasked();  // the collect replaces nothing: it refuses a folder that is not empty
  });
  dialog->open();
}

}  // namespace pexol
