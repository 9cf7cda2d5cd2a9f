// app/Controls.cpp - control makers and rows shared by the pages
#include "app/Controls.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "core/Translation.h"

namespace pexol {

namespace {

template <class Control>
Control* Named(Control* control, int id) {
  control->setObjectName(QString::number(id));
  return control;
}

}  // namespace

QGroupBox* AddGroupBox(QWidget* page, int id, const QString& text) {
  return Named(new QGroupBox(text, page), id);
}

QRadioButton* AddRadio(QWidget* page, int id, const QString& text, QButtonGroup* group, int value) {
  auto* radio = Named(new QRadioButton(text, page), id);
  group->addButton(radio, value);
  return radio;
}

QCheckBox* AddCheckBox(QWidget* page, int id, const QString& text) {
  return Named(new QCheckBox(text, page), id);
}

QLabel* AddLabel(QWidget* page, int id, const QString& text) {
  return Named(new QLabel(text, page), id);
}

QLineEdit* AddEdit(QWidget* page, int id) {
  return Named(new QLineEdit(page), id);
}

QPushButton* AddButton(QWidget* page, int id, const QString& text) {
  return Named(new QPushButton(text, page), id);
}

QPushButton* AddChooserButton(QWidget* page, int id) {
  auto* button = AddButton(page, id, QStringLiteral("..."));
  // Styles give text buttons a wide minimum; this one needs its three dots, the frame and
  // the margins, and stays at least square.
  QStyle* style = button->style();
  const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) +
                    style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, button);
  const int width = button->fontMetrics().horizontalAdvance(button->text()) + 2 * frame +
                    2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
  button->setFixedWidth(qMax(width, button->sizeHint().height()));
  return button;
}

QProgressBar* AddProgressBar(QWidget* page, int id) {
  auto* bar = Named(new QProgressBar(page), id);
  bar->setTextVisible(false);
  bar->setRange(0, 200);
  bar->setValue(0);
  return bar;
}

QLineEdit* AddStatusLine(QWidget* page, int id) {
  auto* line = Named(new QLineEdit(page), id);
  line->setReadOnly(true);
  line->setFrame(false);
  line->setFocusPolicy(Qt::NoFocus);
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

QGridLayout* AddChoiceBox(QWidget* page, QBoxLayout* into, int boxId, const QString& title,
                          QButtonGroup* group, std::initializer_list<RadioChoice> choices,
                          int columns) {
  return AddChoiceBox(page, into, boxId, title, group,
                      std::span<const RadioChoice>(choices.begin(), choices.size()), columns);
}

QGridLayout* AddChoiceBox(QWidget* page, QBoxLayout* into, int boxId, const QString& title,
                          QButtonGroup* group, std::span<const RadioChoice> choices, int columns) {
  QGroupBox* box = AddGroupBox(page, boxId, title);
  auto* grid = new QGridLayout(box);
  // Each button only as wide as its text: a click beside the text is not a click on it.
  int index = 0;
  for (const RadioChoice& choice : choices) {
    grid->addWidget(AddRadio(page, choice.id, QString::fromUtf8(choice.text), group, choice.value),
                    index / columns, index % columns, Qt::AlignLeft);
    ++index;
  }
  for (int column = 0; column < columns; ++column) grid->setColumnStretch(column, 1);
  into->addWidget(box);
  return grid;
}

FileRow AddFileRow(QWidget* page, QBoxLayout* into, int labelId, const QString& caption, int editId,
                   int buttonId) {
  into->addWidget(AddLabel(page, labelId, caption));
  auto* row = new QHBoxLayout;
  const FileRow file{AddEdit(page, editId), AddChooserButton(page, buttonId)};
  row->addWidget(file.edit, 1);
  row->addWidget(file.chooser);
  into->addLayout(row);
  return file;
}

RunRow AddRunRow(QWidget* page, QBoxLayout* into, int buttonId, const QString& text, int progressId,
                 int statusId, int cancelId) {
  RunRow run{AddButton(page, buttonId, text), AddButton(page, cancelId, QtText(Tr("Cancel"))),
             AddProgressBar(page, progressId), AddStatusLine(page, statusId)};
  run.cancel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  run.cancel->hide();
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  run.button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  grid->addWidget(run.button, 0, 0, 2, 1);
  grid->addWidget(run.cancel, 0, 0, 2, 1);
  grid->addWidget(run.progress, 0, 1);
  grid->addWidget(run.status, 1, 1);
  grid->setColumnStretch(1, 1);
  into->addLayout(grid);
  return run;
}

}  // namespace pexol
