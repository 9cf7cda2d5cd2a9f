// picture/PictureReading.h - how a picture run reads a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The picture: the timeline's sections, then the drawing as long as an EDL takes.
inline constexpr ReadingPlan pictureReading = {.sections = SectionsRead(timelineShares),
                                               .afterReadingStatus = "[Picture]",
                                               .afterReadingShare = edlShare};
static_assert(pictureReading.TotalSteps() == 200, "a picture makes 200");

}  // namespace pexol
