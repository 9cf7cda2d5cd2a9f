// app/pages/ExportPage.h - the "export" page: software, format, timecode, files
#pragma once

#include <string_view>

#include "app/pages/Page.h"

namespace pexol::pages {

/// Writes a project's timeline in an editing format, resolving media with the media folders.
class ExportPage final : public Page {
 public:
  ExportPage();
  Driver MakeRun(const MediaFolders& media) override;

  /// The format field's values: 0 for "from the file name", then each format's place in the
  /// export's table from 1. The settings keep the format's name, or `fromExtensionName`.
  static constexpr int fromExtension = 0;
  static constexpr const char* fromExtensionName = "from-extension";

  /// The id of the button of the format `name` names (0 for none).
  static int FormatButton(std::string_view name);

  int format, timecode, source, destination;  ///< fields
};

}  // namespace pexol::pages
