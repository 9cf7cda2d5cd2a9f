// app/AboutPage.cpp - controls of the "about" page and the program icon
#include "app/AboutPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/QtSettingsStore.h"
#include "app/pages/ControlIds.h"
#include "app/pages/Language.h"
#include "app/pages/WindowRules.h"

// The icons are compiled into the window library; a static library has to ask for them.
static void LoadIconResources() {
  Q_INIT_RESOURCE(pexol);
}

namespace pexol {

AboutPage::AboutPage(const QIcon& icon) {
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(30, 30, 30, 30);
  auto* name = new QHBoxLayout;
  QLabel* picture = AddLabel(this, ids::aboutPicture, QString());
  // Two lines of text high, so the icon grows with the font like everything around it.
  const int side = 2 * fontMetrics().height();
  picture->setPixmap(icon.pixmap(QSize(side, side), devicePixelRatio()));
  picture->setFixedSize(side, side);
  name->addWidget(picture);
  name->addSpacing(fontMetrics().averageCharWidth());
  name->addWidget(AddLabel(this, ids::aboutName, QString::fromUtf8(pages::aboutName)));
  name->addStretch(1);
  page->addLayout(name);
  page->addSpacing(fontMetrics().height());
  for (const pages::AboutLine& line : pages::AboutLines())
    page->addWidget(AddLabel(this, line.id, QString::fromStdString(line.text)));
  page->addSpacing(fontMetrics().height());
  AddLanguageChoice(page);
  page->addStretch(1);
}

void AboutPage::AddLanguageChoice(QBoxLayout* page) {
  auto* row = new QHBoxLayout;
  row->addWidget(
      AddLabel(this, ids::aboutLanguageLabel, QString::fromStdString(pages::LanguageLabel())));
  auto* list = new QComboBox(this);
  list->setObjectName(QString::number(ids::aboutLanguage));
  QtSettingsStore settings;  // written through at once: the choice outlives a crash
  const std::string chosen = settings.Text(std::string(pages::languageKey)).value_or("");
  for (const pages::LanguageChoice& choice : pages::LanguageChoices()) {
    list->addItem(
        QString::fromStdString(pages::ChoiceName(choice)),
        QString::fromUtf8(choice.code.data(), static_cast<qsizetype>(choice.code.size())));
    if (choice.code == chosen) list->setCurrentIndex(list->count() - 1);
  }
  connect(list, &QComboBox::currentIndexChanged, this, [list] {
    QtSettingsStore store;
    store.SetText(std::string(pages::languageKey), list->currentData().toString().toStdString());
  });
  row->addWidget(list);
  row->addStretch(1);
  page->addLayout(row);
  // Every text is built once, as the window opens: the new language needs a new start.
  page->addWidget(
      AddLabel(this, ids::aboutLanguageNote, QString::fromStdString(pages::LanguageNote())));
}

QIcon ProgramIcon() {
  LoadIconResources();
  QIcon icon;
  for (const int size : {16, 32, 48, 256})
    icon.addFile(QStringLiteral(":/pexol/pexol-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace pexol
