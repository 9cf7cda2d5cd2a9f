// app/PageView.h - a page of the page layer shown with Qt widgets
#pragma once

#include <memory>

#include "app/RunPage.h"
#include "app/pages/Page.h"

namespace pexol {

/// Builds the widgets of a page layer page, part by part, and binds each to its field; the
/// page's job and all it decides stay in the page layer.
class PageView final : public RunPage {
  Q_OBJECT

 public:
  PageView(const PageContext& context, std::unique_ptr<pages::Page> page);

 protected:
  Driver MakeRun() override;

 private:
  /// The page's other button: "collect..." on the find page.
  void Act();
};

}  // namespace pexol
