// collect/CollectReading.h - how a collect reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// A collect is read as a render is: a few steps for the sections and the rest for the
/// copying, which names itself once it starts; until then the status line is a render's.
inline constexpr ReadingPlan collectReading = {.sections = SectionsRead(briefShares),
                                               .afterReadingStatus = "[Render]",
                                               .afterReadingShare = briefReadingLeft,
                                               .notesUnreadBytes = true};
static_assert(collectReading.TotalSteps() == 200, "a collect makes 200");

}  // namespace pexol
