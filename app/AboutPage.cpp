// app/AboutPage.cpp - controls of the "about" page and the program icon
#include "app/AboutPage.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/pages/ControlIds.h"
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
  page->addStretch(1);
}

QIcon ProgramIcon() {
  LoadIconResources();
  QIcon icon;
  for (const int size : {16, 32, 48, 256})
    icon.addFile(QStringLiteral(":/pexol/pexol-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace pexol
