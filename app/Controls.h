// app/Controls.h - makes the window's controls with their ids and texts, and the rows they sit in
#pragma once

#include <QString>
#include <initializer_list>
#include <span>
#include <string_view>

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace pexol {

/// A text of the catalogue or the page layer (UTF-8) as Qt holds it.
inline QString QtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Each maker creates the control as a child of `page` (which owns it) and names it by its
// control id so that tests and tools can find it; the page's layouts place it.

QGroupBox* AddGroupBox(QWidget* page, int id, const QString& text);
/// A radio button that joins `group` with `value` as its id in the group.
QRadioButton* AddRadio(QWidget* page, int id, const QString& text, QButtonGroup* group, int value);
QCheckBox* AddCheckBox(QWidget* page, int id, const QString& text);
QLabel* AddLabel(QWidget* page, int id, const QString& text);
/// A bordered one-line edit that scrolls its text sideways.
QLineEdit* AddEdit(QWidget* page, int id);
QPushButton* AddButton(QWidget* page, int id, const QString& text);
/// A "..." button only as wide as its text needs, so the edit beside it gets the room.
QPushButton* AddChooserButton(QWidget* page, int id);
/// A bordered smooth bar without a percentage text.
QProgressBar* AddProgressBar(QWidget* page, int id);
/// A read-only edit without a border, for the status line of a run.
QLineEdit* AddStatusLine(QWidget* page, int id);

/// An exclusive group for radio buttons in which no button is checked until one is clicked.
QButtonGroup* AddRadioGroup(QWidget* page);

/// One radio button of a choice box.
struct RadioChoice {
  int id;
  const char* text;
  int value;
};

/// A titled box of radio buttons filled row by row, `columns` to a row; returns its grid so
/// that a page can add more to it.
QGridLayout* AddChoiceBox(QWidget* page, QBoxLayout* into, int boxId, const QString& title,
                          QButtonGroup* group, std::span<const RadioChoice> choices, int columns);
QGridLayout* AddChoiceBox(QWidget* page, QBoxLayout* into, int boxId, const QString& title,
                          QButtonGroup* group, std::initializer_list<RadioChoice> choices,
                          int columns);

/// A caption above an edit that takes the width with its "..." button beside it.
struct FileRow {
  QLineEdit* edit;
  QPushButton* chooser;
};
FileRow AddFileRow(QWidget* page, QBoxLayout* into, int labelId, const QString& caption, int editId,
                   int buttonId);

/// The run button, with the bar and the status line beside it, at the foot of a page.
struct RunRow {
  QPushButton* button;
  QPushButton* cancel;  ///< in the run button's place while the run goes on
  QProgressBar* progress;
  QLineEdit* status;
};
RunRow AddRunRow(QWidget* page, QBoxLayout* into, int buttonId, const QString& text, int progressId,
                 int statusId, int cancelId);

}  // namespace pexol
