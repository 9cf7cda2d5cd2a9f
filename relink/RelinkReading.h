// relink/RelinkReading.h - how a relink reads a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The relink: the timeline's sections, then the renaming as long as an EDL takes.
inline constexpr ReadingPlan relinkReading = {.sections = SectionsRead(timelineShares),
                                              .afterReadingShare = edlShare,
                                              .notesUnreadBytes = true};
static_assert(relinkReading.TotalSteps() == 200, "a relink makes 200");

}  // namespace pexol
