// app/MediaFolders.cpp - the media folders setting and its dialog
#include "app/MediaFolders.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/QtSettingsStore.h"
#include "app/UserPrompts.h"
#include "app/pages/ControlIds.h"
#include "core/Translation.h"

namespace pexol {

namespace {

std::vector<std::string> Encoded(const QStringList& list) {
  std::vector<std::string> encoded;
  for (const QString& item : list) encoded.push_back(item.toStdString());
  return encoded;
}

QStringList Decoded(const std::vector<std::string>& list) {
  QStringList decoded;
  for (const std::string& item : list) decoded << QString::fromStdString(item);
  return decoded;
}

QStringList Items(const QListWidget& list) {
  QStringList items;
  for (int row = 0; row < list.count(); ++row) items << list.item(row)->text();
  return items;
}

QPushButton* Button(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

MediaFolders MediaFolders::Load(QSettings& settings) {
  return Of(pages::MediaFolders::Load(QtSettingsStore(settings)));
}

void MediaFolders::Save(QSettings& settings) const {
  QtSettingsStore store(settings);
  Shared().Save(store);
}

pages::MediaFolders MediaFolders::Shared() const {
  return {Encoded(maps), Encoded(searchFolders)};
}

MediaFolders MediaFolders::Of(const pages::MediaFolders& folders) {
  return {Decoded(folders.maps), Decoded(folders.searchFolders)};
}

MediaFoldersDialog::MediaFoldersDialog(const MediaFolders& folders, UserPrompts& prompts,
                                       QWidget* parent)
    : QDialog(parent), prompts(prompts) {
  setObjectName(QString::number(ids::mediaFoldersDialog));
  setWindowTitle(QtText(Tr("media folders")));
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel(QtText(Tr("Windows folder moved to a folder here")), this));
  auto* rule = new QGridLayout;
  windowsFolder = new QLineEdit(this);
  windowsFolder->setPlaceholderText(QStringLiteral("C:\\Video"));
  localFolder = new QLineEdit(this);
  auto* chooseLocal = Button(this, ids::mediaChooseLocal, QStringLiteral("..."));
  auto* addMap = Button(this, ids::mediaAddMap, QtText(Tr("add")));
  rule->addWidget(windowsFolder, 0, 0);
  rule->addWidget(new QLabel(QStringLiteral("->"), this), 0, 1);
  rule->addWidget(localFolder, 0, 2);
  rule->addWidget(chooseLocal, 0, 3);
  rule->addWidget(addMap, 0, 4);
  rule->setColumnStretch(0, 1);
  rule->setColumnStretch(2, 2);
  layout->addLayout(rule);
  maps = new QListWidget(this);
  maps->setObjectName(QString::number(ids::mediaMaps));
  maps->addItems(folders.maps);
  layout->addWidget(maps);
  auto* removeMap = Button(this, ids::mediaRemoveMap, QtText(Tr("remove")));
  layout->addWidget(removeMap, 0, Qt::AlignRight);

  layout->addWidget(new QLabel(QtText(Tr("search folders (searched by file name)")), this));
  searchFolders = new QListWidget(this);
  searchFolders->setObjectName(QString::number(ids::mediaSearchFolders));
  searchFolders->addItems(folders.searchFolders);
  layout->addWidget(searchFolders);
  auto* searchButtons = new QHBoxLayout;
  searchButtons->addStretch(1);
  auto* addSearch = Button(this, ids::mediaAddSearchFolder, QtText(Tr("add...")));
  auto* removeSearch = Button(this, ids::mediaRemoveSearchFolder, QtText(Tr("remove")));
  searchButtons->addWidget(addSearch);
  searchButtons->addWidget(removeSearch);
  layout->addLayout(searchButtons);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  const FileDialogRequest folderRequest{FileDialogKind::Folder, {}, {}, {}};
  connect(chooseLocal, &QPushButton::clicked, this, [this, folderRequest] {
    if (const auto folder = this->prompts.ChooseFile(this, folderRequest))
      localFolder->setText(*folder);
  });
  connect(addMap, &QPushButton::clicked, this, &MediaFoldersDialog::AddMap);
  connect(removeMap, &QPushButton::clicked, this, [this] { delete maps->currentItem(); });
  connect(addSearch, &QPushButton::clicked, this, [this, folderRequest] {
    if (const auto folder = this->prompts.ChooseFile(this, folderRequest))
      searchFolders->addItem(*folder);
  });
  connect(removeSearch, &QPushButton::clicked, this,
          [this] { delete searchFolders->currentItem(); });
  resize(fontMetrics().averageCharWidth() * 70, sizeHint().height());
}

void MediaFoldersDialog::AddMap() {
  const auto rule =
      pages::MapRule(windowsFolder->text().toStdString(), localFolder->text().toStdString());
  if (!rule) return;
  maps->addItem(QString::fromStdString(*rule));
  windowsFolder->clear();
  localFolder->clear();
}

MediaFolders MediaFoldersDialog::Folders() const {
  return {Items(*maps), Items(*searchFolders)};
}

}  // namespace pexol
