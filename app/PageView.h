// app/PageView.h - a page of the page layer shown with Qt widgets in a column
#pragma once

#include <memory>

#include "app/RunPage.h"
#include "app/pages/Page.h"

namespace pexol {

/// The widgets of a page layer page, part by part, each bound to its field; the page's job and
/// all it decides stay in the page layer.
class PageView final : public RunPage {
  Q_OBJECT

 public:
  PageView(const PageContext& context, std::unique_ptr<pages::Page> page);
};

}  // namespace pexol
