// app/pages/ConversionPages.h - the "mpj to txt" and "txt to mpj" pages
#pragma once

#include "app/pages/Page.h"

namespace pexol::pages {

/// Converts a project to its text exchange file: software, EDL layout, files.
class ToTextPage final : public Page {
 public:
  ToTextPage();
  Driver MakeRun(const MediaFolders& media) override;

  int timecode, csv, utf8, source, destination;  ///< fields
};

/// Rebuilds a project from its source project and an edited text exchange file.
class ToProjectPage final : public Page {
 public:
  ToProjectPage();
  Driver MakeRun(const MediaFolders& media) override;

  int utf8, source, text, destination;  ///< fields
};

}  // namespace pexol::pages
