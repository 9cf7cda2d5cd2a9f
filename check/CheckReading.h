// check/CheckReading.h - how the media check reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// The timeline's sections, then the bin, which holds names too; both visual filter blocks
/// show as one.
constexpr SectionReadings CheckedSections() {
  SectionReadings sections = SectionsRead({0, 40, 20, 10, 10, 20, 60, 0, 0, 0, 0, 40, 0, 0});
  for (SectionId visual : {SectionId::FilterMainAV, SectionId::FilterInsertAV})
    sections[static_cast<std::size_t>(visual)].status = "[FilterVisual]";
  return sections;
}

/// The check reads on past clips of no known kind and an option block cut short: it wants
/// the names.
inline constexpr ReadingPlan checkReading = {
    .sections = CheckedSections(), .unknownClips = UnknownClips::Keep, .optionMayBeShort = true};
static_assert(checkReading.TotalSteps() == 200, "a check makes 200");

}  // namespace pexol
