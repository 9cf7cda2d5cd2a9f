// app/ToTextPage.h - the "mpj to txt" page: software, EDL layout, files and the convert run
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Converts a project to its text exchange file.
class ToTextPage final : public RunPage {
  Q_OBJECT

 public:
  explicit ToTextPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QButtonGroup* timecode;  ///< ids are the timecode mode values
  QCheckBox* csv;
  QCheckBox* utf8;
  QLineEdit* source;
  QLineEdit* destination;
};

}  // namespace pexol
