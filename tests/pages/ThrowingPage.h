// tests/pages/ThrowingPage.h - a page whose job throws, for the windows' own tests of a failed run
#pragma once

#include <stdexcept>

#include "app/pages/FileRequest.h"
#include "app/pages/Page.h"

namespace pexol::test {

/// A page whose job throws: a standard exception ("no room left") or something that is none.
class ThrowingPage final : public pages::Page {
 public:
  static constexpr int sourceId = 9002, runId = 9007;
  explicit ThrowingPage(bool standard) : Page("throws"), standard(standard) {
    const int source = AddFileRow(9001, "mpj source file", sourceId, 9003,
                                  pages::OpenFile("mpj", pages::ProjectFilter()), "throws/source");
    AddRunRow(runId, "run", 9008, 9009, 9010);
    state.PictureFrom(source);
  }
  Driver MakeRun(const pages::MediaFolders&) override {
    if (standard)
      return [](RunObserver&) -> RunResult { throw std::runtime_error("no room left"); };
    return [](RunObserver&) -> RunResult { throw 3; };
  }

 private:
  bool standard;
};

}  // namespace pexol::test
