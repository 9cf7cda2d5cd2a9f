// export/ExportReading.h - how an export reads a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The export: the timeline's sections, then the document as long as an EDL takes.
inline constexpr ReadingPlan exportReading = {.sections = SectionsRead(timelineShares),
                                              .afterReadingStatus = "[Export]",
                                              .afterReadingShare = edlShare,
                                              .notesUnreadBytes = true};
static_assert(exportReading.TotalSteps() == 200, "an export makes 200");

}  // namespace pexol
