// render/RenderReading.h - how a render reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// A render's steps for the encoding, nearly all of its bar: reading takes a moment beside it.
constexpr int renderShare = briefReadingLeft;

/// The render: a few steps for the timeline's sections, the rest for the encoding.
inline constexpr ReadingPlan renderReading = {.sections = SectionsRead(briefShares),
                                              .afterReadingStatus = "[Render]",
                                              .afterReadingShare = renderShare,
                                              .notesUnreadBytes = true};
static_assert(renderReading.TotalSteps() == 200, "a render makes 200");

}  // namespace pexol
