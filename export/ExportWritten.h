// export/ExportWritten.h - what a format's writer makes of the laid-out timeline
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "layout/ExportTimeline.h"

namespace pexol {

/// One file a writer made: `suffix` goes before the destination's extension ("" for the
/// destination itself).
struct ExportFile {
  std::string suffix;
  std::string bytes;
};

/// What a writer made of the stack: its files and the counts of what it wrote (`CountWritten`).
/// What the format shows its own way the layout notes, from the format's row.
struct ExportWritten {
  std::vector<ExportFile> files;
  ExportCounts counts;
};

/// The value chosen for each option the format's row declares (`ExportFormat::options`), by
/// the option's name; an export gives every one of them, and a writer reads only its own.
using FormatOptions = std::map<std::string, std::string, std::less<>>;

/// Serialises a stack laid out with the format's `roles`; it decides nothing of the layout.
using ExportWriter = ExportWritten (*)(const ExportTimeline& timeline,
                                       const FormatOptions& options);

}  // namespace pexol
