// app/CheckPage.h - the "find" page: software, project, search folder, report and the check run
#pragma once

#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pexol {

/// The controls of the media check page; the window reads and fills them.
class CheckPage final : public QWidget {
  Q_OBJECT

 public:
  CheckPage();

  QButtonGroup* software;  ///< ids are the software choice values
  QLineEdit* source;
  QLineEdit* report;
  QLineEdit* searchFolder;
  QPushButton* mediaFolders;
  QPushButton* check;
  QPushButton* cancel;
  QProgressBar* progress;
  QLineEdit* status;
};

}  // namespace pexol
