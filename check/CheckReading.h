// check/CheckReading.h - how the media check reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// The check reads on past clips of no known kind and an option block cut short: it
/// wants the names. The bin holds names too, so it takes a share of its own.
// clang-format off
inline constexpr ReadingPlan checkReading = {
    .sections = {{
      {SectionId::Header, {}, 0},
      {SectionId::MainAV, "[MainAV]", 40},
      {SectionId::InsertAV, "[InsertAV]", 20},
      {SectionId::ExAudio1, "[ExAudio]", 10},
      {SectionId::ExAudio2, "[ExAudio]", 10},
      {SectionId::Effect, "[Effect]", 20},
      {SectionId::Title, "[Title]", 60},
      {SectionId::FilterMainAV, "[FilterVisual]", 0},
      {SectionId::FilterInsertAV, "[FilterVisual]", 0},
      {SectionId::FilterExAudio1, "[FilterAudio]", 0},
      {SectionId::FilterExAudio2, "[FilterAudio]", 0},
      {SectionId::BinWindow, "[BinWindow]", 40},
      {SectionId::Option, "the option block", 0},
      {SectionId::End, {}, 0},
    }},
    .unknownClips = UnknownClips::Keep,
    .optionMayBeShort = true,
};
// clang-format on
static_assert(checkReading.InFileOrder(), "the plan lists the sections in file order");
static_assert(checkReading.TotalSteps() == 200, "a check makes 200");

}  // namespace pexol
