// app/ToTextPage.h - the "mpj to txt" page: software, EDL layout, files and the convert run
#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pexol {

/// The controls of the project-to-text page; the window reads and fills them.
class ToTextPage final : public QWidget {
  Q_OBJECT

 public:
  ToTextPage();

  QButtonGroup* software;  ///< ids are the software choice values
  QButtonGroup* timecode;  ///< ids are the timecode mode values
  QCheckBox* csv;
  QCheckBox* utf8;
  QLineEdit* source;
  QLineEdit* destination;
  QPushButton* convert;
  QPushButton* cancel;
  QProgressBar* progress;
  QLineEdit* status;
};

}  // namespace pexol
