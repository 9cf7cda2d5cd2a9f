// app/ToProjectPage.h - the "txt to mpj" page: software, three files and the convert run
#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pexol {

/// The controls of the text-to-project page; the window reads and fills them.
class ToProjectPage final : public QWidget {
  Q_OBJECT

 public:
  ToProjectPage();

  QButtonGroup* software;  ///< ids are the software choice values
  QCheckBox* utf8;
  QLineEdit* source;
  QLineEdit* text;
  QLineEdit* destination;
  QPushButton* convert;
  QPushButton* cancel;
  QProgressBar* progress;
  QLineEdit* status;
};

}  // namespace pexol
