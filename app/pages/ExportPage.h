// app/pages/ExportPage.h - the "export" page: software, format, timecode, files
#pragma once

#include <string_view>
#include <vector>

#include "app/pages/Page.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"

namespace pexol::pages {

/// Writes a project's timeline in an editing format, resolving media with the media folders.
/// Each option of the formats' rows has a box, which can be used while the format chosen (or,
/// with "from the file name", the destination's) declares it.
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
  /// The id of the button of `value` of the format option `name` (0 for none).
  static int OptionButton(std::string_view name, std::string_view value);

  /// The job of the page's fields.
  ExportJob Job(const MediaFolders& media) const;

  int format, timecode, source, destination;  ///< fields
  std::vector<int> options;  ///< fields, one a format option, as `AllFormatOptions`

 private:
  /// The format chosen, or the destination's when the name says; null for none.
  const ExportFormat* ChosenFormat() const;
};

}  // namespace pexol::pages
