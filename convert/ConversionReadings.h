// convert/ConversionReadings.h - how the two conversions read a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The to-text run: the sections, then the edit decision list after "[END]".
// clang-format off
inline constexpr ReadingPlan toTextReading = {
    .sections = {{
      {SectionId::Header, {}, 0},
      {SectionId::MainAV, "[MainAV]", 40},
      {SectionId::InsertAV, "[InsertAV]", 20},
      {SectionId::ExAudio1, "[ExAudio]", 10},
      {SectionId::ExAudio2, "[ExAudio]", 10},
      {SectionId::Effect, "[Effect]", 20},
      {SectionId::Title, "[Title]", 60},
      {SectionId::FilterMainAV, "[FilterMainAV]", 0},
      {SectionId::FilterInsertAV, "[FilterInsertAV]", 0},
      {SectionId::FilterExAudio1, "[FilterAudio]", 0},
      {SectionId::FilterExAudio2, "[FilterAudio]", 0},
      {SectionId::BinWindow, "[BinWindow]", 0},
      {SectionId::Option, "the option block", 0},
      {SectionId::End, {}, 0},
    }},
    .afterReadingShare = edlShare,
    .notesUnreadBytes = true,
};
// clang-format on
static_assert(toTextReading.InFileOrder(), "the plan lists the sections in file order");
static_assert(toTextReading.TotalSteps() == 200, "a to-text run makes 200");

/// The to-project run: every section of the source project, filters and bin included.
// clang-format off
inline constexpr ReadingPlan toProjectReading = {
    .sections = {{
      {SectionId::Header, {}, 0},
      {SectionId::MainAV, "[MainAV]", 40},
      {SectionId::InsertAV, "[InsertAV]", 20},
      {SectionId::ExAudio1, "[ExAudio1]", 10},
      {SectionId::ExAudio2, "[ExAudio2]", 10},
      {SectionId::Effect, "[Effect]", 20},
      {SectionId::Title, "[Title]", 60},
      {SectionId::FilterMainAV, "[FilterMainAV]", 8},
      {SectionId::FilterInsertAV, "[FilterInsertAV]", 8},
      {SectionId::FilterExAudio1, "[FilterExAudio1]", 8},
      {SectionId::FilterExAudio2, "[FilterExAudio2]", 8},
      {SectionId::BinWindow, "[BinWindow]", 6},
      {SectionId::Option, "the option block", 1},
      {SectionId::End, {}, 0},
    }},
    .notesUnreadBytes = true,
};
// clang-format on
static_assert(toProjectReading.InFileOrder(), "the plan lists the sections in file order");
// The to-project shares have always added up to one step short of the bar.
static_assert(toProjectReading.TotalSteps() == 199, "a to-project run makes 199");

}  // namespace pexol
