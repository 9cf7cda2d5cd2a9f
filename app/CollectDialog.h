// app/CollectDialog.h - the choices of a collect from the "find" page: folder, exports, links,
// transcodes
#pragma once

#include <QDialog>
#include <vector>

#include "collect/TranscodePlan.h"
#include "export/RunExport.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace pexol {

class UserPrompts;

/// Asks for the folder to collect into (its "..." button goes through `prompts`), the exports
/// to write beside the project, what the movies become and whether to hard-link; "collect"
/// accepts it.
class CollectDialog final : public QDialog {
  Q_OBJECT

 public:
  CollectDialog(QWidget* parent, UserPrompts& prompts);

  QString Folder() const;
  std::vector<std::string> Formats() const;  ///< format names
  bool Link() const;
  TranscodeChoice Transcode() const;

 private:
  QLineEdit* folder;
  std::vector<std::pair<QCheckBox*, std::string>> formats;
  QCheckBox* link;
  QComboBox* transcode;
  QCheckBox* trim;
};

}  // namespace pexol
