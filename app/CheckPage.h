// app/CheckPage.h - the "find" page: software, project, search folder, report and the check run
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Looks for a project's media files, with the media folders and the page's own search
/// folder, and writes what it did not find to the report.
class CheckPage final : public RunPage {
  Q_OBJECT

 public:
  explicit CheckPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QLineEdit* source;
  QLineEdit* searchFolder;
  QLineEdit* report;
};

}  // namespace pexol
