// app/AboutPage.cpp - controls of the "about" page and the program icon
#include "app/AboutPage.h"

#include <QIcon>
#include <QLabel>

#include "app/Controls.h"
#include "app/DialogUnits.h"
#include "app/Pages.h"

// The icons are compiled into the window library; a static library has to ask for them.
static void LoadIconResources() {
  Q_INIT_RESOURCE(pexol);
}

namespace pexol {

AboutPage::AboutPage(QWidget* window, const QIcon& icon) : QWidget(window) {
  PlaceInDialogUnits(this, pageArea.x, pageArea.y, pageArea.width, pageArea.height);
  QLabel* picture = AddLabel(this, 1060, QString(), {35, 50, 20, 20});
  picture->setPixmap(icon.pixmap(picture->size()));
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AddLabel(this, 1061, QStringLiteral("PEXOL"), {60, 60, 40, 10});
  // The two version labels are wider than the original face needed (see Pages.h).
  AddLabel(this, 1064, QStringLiteral("pexol Version 2.12"), {35, 85, 70, 8});
  AddLabel(this, 1065, QStringLiteral("Corvane ver2.94 Correspondence."), {35, 95, 125, 8});
  AddLabel(this, 1066, QString(), {35, 105, 97, 9});
  AddLabel(this, 1067, QStringLiteral("Corvane file(*.mpj) - text exchange"), {35, 126, 130, 8});
  AddLabel(this, 1068, QStringLiteral("Free software, written from scratch."), {35, 135, 130, 8});
  AddLabel(this, 1069, QStringLiteral("It comes with no warranty."), {35, 145, 130, 8});
}

QIcon ProgramIcon() {
  LoadIconResources();
  QIcon icon;
  for (const int size : {16, 32, 48, 256})
    icon.addFile(QStringLiteral(":/pexol/pexol-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace pexol
