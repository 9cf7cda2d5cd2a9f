// app/RenderPage.h - the "render" page shown with Qt widgets
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// The page layer's render page, its quality and its part to render in one row above the file
/// rows.
class RenderPage final : public RunPage {
  Q_OBJECT

 public:
  explicit RenderPage(const PageContext& context);
};

}  // namespace pexol
