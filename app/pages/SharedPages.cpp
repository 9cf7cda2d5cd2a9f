// app/pages/SharedPages.cpp - the pages both windows show, in order
#include "app/pages/ConversionPages.h"
#include "app/pages/ExportPage.h"
#include "app/pages/FindPage.h"

namespace pexol::pages {

std::vector<std::unique_ptr<Page>> MakeSharedPages() {
  std::vector<std::unique_ptr<Page>> pages;
  pages.push_back(std::make_unique<ToTextPage>());
  pages.push_back(std::make_unique<ToProjectPage>());
  pages.push_back(std::make_unique<FindPage>());
  pages.push_back(std::make_unique<ExportPage>());
  return pages;
}

}  // namespace pexol::pages
