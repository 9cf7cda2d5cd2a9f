// app/CollectDialog.cpp - the collect's dialog, built from the same control makers as the pages
#include "app/CollectDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/FileRequests.h"
#include "app/UserPrompts.h"
#include "app/pages/ControlIds.h"
#include "app/pages/FindPage.h"
#include "core/Translation.h"

namespace pexol {

CollectDialog::CollectDialog(QWidget* parent, UserPrompts& prompts) : QDialog(parent) {
  setWindowTitle(QtText(Tr("collect")));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(AddLabel(this, ids::collectFolderLabel,
                             QtText(Tr("new or empty folder for the project and its media"))));
  auto* row = new QHBoxLayout;
  folder = AddEdit(this, ids::collectFolder);
  QPushButton* chooser = AddChooserButton(this, ids::collectFolderChooser);
  row->addWidget(folder, 1);
  row->addWidget(chooser);
  layout->addLayout(row);
  connect(chooser, &QPushButton::clicked, this, [this, &prompts] {
    if (const auto path = prompts.ChooseFile(this, ChooseFolder())) folder->setText(*path);
  });
  layout->addWidget(
      AddLabel(this, ids::collectFormatsLabel, QtText(Tr("also export the collected project as"))));
  for (const pages::CollectFormat& format : pages::CollectFormats()) {
    QCheckBox* box = AddCheckBox(this, format.id, QString::fromStdString(format.label));
    layout->addWidget(box);
    formats.emplace_back(box, format.name);
  }
  layout->addWidget(AddLabel(this, ids::collectTranscodeLabel, QtText(Tr("the movies"))));
  transcode = new QComboBox(this);
  transcode->setObjectName(QString::number(ids::collectTranscode));
  for (const TranscodeKindChoice& choice : TranscodeKinds())
    transcode->addItem(QtText(Tr(choice.label)), static_cast<int>(choice.kind));
  layout->addWidget(transcode);
  trim = AddCheckBox(this, ids::collectTrim,
                     QtText(Tr("only the frames the timeline uses, with 24 more each side")));
  layout->addWidget(trim);
  link = AddCheckBox(this, ids::collectLink,
                     QtText(Tr("hard links instead of copies where the disk allows")));
  layout->addWidget(link);
  // A trim encodes again and a link copies as it is: each goes with its kind of movie.
  const auto chosen = [this] {
    const bool copy = transcode->currentIndex() == 0;
    trim->setEnabled(!copy);
    if (copy) trim->setChecked(false);
  };
  chosen();
  connect(transcode, &QComboBox::currentIndexChanged, this, chosen);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  QPushButton* collect = AddButton(this, ids::collectStart, QtText(Tr("collect")));
  buttons->addButton(collect, QDialogButtonBox::AcceptRole);
  collect->setEnabled(false);
  connect(folder, &QLineEdit::textChanged, collect,
          [collect](const QString& text) { collect->setEnabled(!text.isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QString CollectDialog::Folder() const {
  return folder->text();
}

std::vector<std::string> CollectDialog::Formats() const {
  std::vector<std::string> chosen;
  for (const auto& [box, format] : formats)
    if (box->isChecked()) chosen.push_back(format);
  return chosen;
}

bool CollectDialog::Link() const {
  return link->isChecked();
}

TranscodeChoice CollectDialog::Transcode() const {
  TranscodeChoice choice;
  choice.kind = static_cast<TranscodeKind>(transcode->currentData().toInt());
  choice.trim = trim->isChecked();
  return choice;
}

}  // namespace pexol
