// app/Controls.h - makes the window's controls with their ids, texts and places
#pragma once

#include <QString>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace pexol {

/// Where a control sits, in dialog units from the window's top left.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Each maker creates the control as a child of `page` (which owns it), names it by its
// control id so that tests and tools can find it, and places it.

QGroupBox* AddGroupBox(QWidget* page, int id, const QString& text, DialogRect place);
/// A radio button that joins `group` with `value` as its id in the group.
QRadioButton* AddRadio(QWidget* page, int id, const QString& text, DialogRect place,
                       QButtonGroup* group, int value);
QCheckBox* AddCheckBox(QWidget* page, int id, const QString& text, DialogRect place);
QLabel* AddLabel(QWidget* page, int id, const QString& text, DialogRect place);
/// A bordered one-line edit that scrolls its text sideways.
QLineEdit* AddEdit(QWidget* page, int id, DialogRect place);
QPushButton* AddButton(QWidget* page, int id, const QString& text, DialogRect place);
/// A bordered smooth bar without a percentage text.
QProgressBar* AddProgressBar(QWidget* page, int id, DialogRect place);
/// A read-only edit without a border, for the status line of a run.
QLineEdit* AddStatusLine(QWidget* page, int id, DialogRect place);

/// An exclusive group for radio buttons in which no button is checked until one is clicked.
QButtonGroup* AddRadioGroup(QWidget* page);

}  // namespace pexol
