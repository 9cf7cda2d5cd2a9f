// convert/ConversionReadings.h - how the two conversions read a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The to-text run: the timeline's sections, then the edit decision list after "[END]".
inline constexpr ReadingPlan toTextReading = {.sections = SectionsRead(timelineShares),
                                              .afterReadingShare = edlShare,
                                              .notesUnreadBytes = true};
static_assert(toTextReading.TotalSteps() == 200, "a to-text run makes 200");

/// Every section of the source project, filters and bin included, each shown by its heading.
constexpr SectionReadings SectionsRebuilt() {
  SectionReadings sections = SectionsRead({0, 40, 20, 10, 10, 20, 60, 8, 8, 8, 8, 6, 1, 0});
  for (SectionId track : {SectionId::ExAudio1, SectionId::ExAudio2, SectionId::FilterExAudio1,
                          SectionId::FilterExAudio2})
    sections[static_cast<std::size_t>(track)].status = HeadingOf(track);
  return sections;
}

/// The to-project run.
inline constexpr ReadingPlan toProjectReading = {.sections = SectionsRebuilt(),
                                                 .notesUnreadBytes = true};
// The to-project shares have always added up to one step short of the bar.
static_assert(toProjectReading.TotalSteps() == 199, "a to-project run makes 199");

}  // namespace pexol
