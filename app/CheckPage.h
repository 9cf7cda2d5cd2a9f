// app/CheckPage.h - the "find" page: software, project, search folder, report and the check run
#pragma once

#include <optional>

#include "app/RunPage.h"
#include "collect/RunCollect.h"

namespace pexol {

/// Looks for a project's media files, with the media folders and the page's own search
/// folder, and writes what it did not find to the report; "collect..." gathers the project and
/// the media it finds in a new folder.
class CheckPage final : public RunPage {
  Q_OBJECT

 public:
  explicit CheckPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  /// Asks for the collect's choices and runs it on this page's row.
  void AskToCollect();

  std::optional<CollectJob> collect;  ///< the next run is this collect, not a check
  QLineEdit* source;
  QLineEdit* searchFolder;
  QLineEdit* report;
};

}  // namespace pexol
