// app/Controls.cpp - control makers shared by the pages
#include "app/Controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "app/DialogUnits.h"

namespace pexol {

namespace {

template <class Control>
Control* Placed(Control* control, int id, DialogRect place) {
  control->setObjectName(QString::number(id));
  PlaceInDialogUnits(control, place.x, place.y, place.width, place.height);
  return control;
}

}  // namespace

QGroupBox* AddGroupBox(QWidget* page, int id, const QString& text, DialogRect place) {
  return Placed(new QGroupBox(text, page), id, place);
}

QRadioButton* AddRadio(QWidget* page, int id, const QString& text, DialogRect place,
                       QButtonGroup* group, int value) {
  auto* radio = Placed(new QRadioButton(text, page), id, place);
  group->addButton(radio, value);
  return radio;
}

QCheckBox* AddCheckBox(QWidget* page, int id, const QString& text, DialogRect place) {
  return Placed(new QCheckBox(text, page), id, place);
}

QLabel* AddLabel(QWidget* page, int id, const QString& text, DialogRect place) {
  return Placed(new QLabel(text, page), id, place);
}

QLineEdit* AddEdit(QWidget* page, int id, DialogRect place) {
  return Placed(new QLineEdit(page), id, place);
}

QPushButton* AddButton(QWidget* page, int id, const QString& text, DialogRect place) {
  return Placed(new QPushButton(text, page), id, place);
}

QProgressBar* AddProgressBar(QWidget* page, int id, DialogRect place) {
  auto* bar = Placed(new QProgressBar(page), id, place);
  bar->setTextVisible(false);
  bar->setRange(0, 200);
  bar->setValue(0);
  return bar;
}

QLineEdit* AddStatusLine(QWidget* page, int id, DialogRect place) {
  auto* line = Placed(new QLineEdit(page), id, place);
  line->setReadOnly(true);
  line->setFrame(false);
  QPalette palette = line->palette();  // a status line, not an input: no field drawn
  palette.setColor(QPalette::Base, Qt::transparent);
  line->setPalette(palette);
  return line;
}

QButtonGroup* AddRadioGroup(QWidget* page) {
  auto* group = new QButtonGroup(page);
  group->setExclusive(true);
  return group;
}

}  // namespace pexol
