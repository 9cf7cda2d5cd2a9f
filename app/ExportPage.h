// app/ExportPage.h - the "export" page: software, format, timecode, files and the export run
#pragma once

#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pexol {

/// The controls of the timeline export page; the window reads and fills them.
class ExportPage final : public QWidget {
  Q_OBJECT

 public:
  ExportPage();

  QButtonGroup* software;  ///< ids are the software choice values
  QButtonGroup* format;    ///< ids are the export format values
  QButtonGroup* timecode;  ///< ids are the timecode mode values
  QLineEdit* source;
  QLineEdit* destination;
  QPushButton* mediaFolders;
  QPushButton* exportButton;
  QPushButton* cancel;
  QProgressBar* progress;
  QLineEdit* status;
};

}  // namespace pexol
