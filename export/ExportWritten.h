// export/ExportWritten.h - what a format's writer makes of the laid-out timeline
#pragma once

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

/// Serialises a stack laid out with the format's `roles`; it decides nothing of the layout.
using ExportWriter = ExportWritten (*)(const ExportTimeline& timeline);

}  // namespace pexol
