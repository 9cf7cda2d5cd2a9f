// app/ToProjectPage.h - the "txt to mpj" page: software, three files and the convert run
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Rebuilds a project from its source project and an edited text exchange file.
class ToProjectPage final : public RunPage {
  Q_OBJECT

 public:
  explicit ToProjectPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QCheckBox* utf8;
  QLineEdit* source;
  QLineEdit* text;
  QLineEdit* destination;
};

}  // namespace pexol
