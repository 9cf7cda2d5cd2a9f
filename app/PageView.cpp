// app/PageView.cpp - a page layer page's parts as Qt widgets in a column
#include "app/PageView.h"

#include <QVBoxLayout>

namespace pexol {

PageView::PageView(const PageContext& context, std::unique_ptr<pages::Page> page)
    : RunPage(context, std::move(page)) {
  AddParts(new QVBoxLayout(this));
}

}  // namespace pexol
