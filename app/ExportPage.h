// app/ExportPage.h - the "export" page: software, format, timecode, files and the export run
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Writes a project's timeline in an editing format, resolving media with the media folders.
class ExportPage final : public RunPage {
  Q_OBJECT

 public:
  explicit ExportPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QButtonGroup* format;    ///< ids are the export format values
  QButtonGroup* timecode;  ///< ids are the timecode mode values
  QLineEdit* source;
  QLineEdit* destination;
};

}  // namespace pexol
