// collect/CollectReading.h - how a collect reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// A collect is read as a render is: a few steps for the sections and the rest for the
/// copying, which names itself once it starts; until then the status line is a render's.
// clang-format off
inline constexpr ReadingPlan collectReading = {
    .sections = {{
      {SectionId::Header, {}, 0},
      {SectionId::MainAV, "[MainAV]", 2},
      {SectionId::InsertAV, "[InsertAV]", 1},
      {SectionId::ExAudio1, "[ExAudio]", 1},
      {SectionId::ExAudio2, "[ExAudio]", 1},
      {SectionId::Effect, "[Effect]", 1},
      {SectionId::Title, "[Title]", 2},
      {SectionId::FilterMainAV, "[FilterMainAV]", 0},
      {SectionId::FilterInsertAV, "[FilterInsertAV]", 0},
      {SectionId::FilterExAudio1, "[FilterAudio]", 0},
      {SectionId::FilterExAudio2, "[FilterAudio]", 0},
      {SectionId::BinWindow, "[BinWindow]", 0},
      {SectionId::Option, "the option block", 0},
      {SectionId::End, {}, 0},
    }},
    .afterReadingStatus = "[Render]",
    .afterReadingShare = 192,
    .notesUnreadBytes = true,
};
// clang-format on
static_assert(collectReading.InFileOrder(), "the plan lists the sections in file order");
static_assert(collectReading.TotalSteps() == 200, "a collect makes 200");

}  // namespace pexol
