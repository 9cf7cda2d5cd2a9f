// picture/PictureReading.h - how a picture run reads a project: status texts and steps
#pragma once

#include "edl/Edl.h"
#include "model/ReadingPlan.h"

namespace pexol {

/// The picture: the sections, then the drawing as long as an EDL takes.
// clang-format off
inline constexpr ReadingPlan pictureReading = {
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
    .afterReadingStatus = "[Picture]",
    .afterReadingShare = edlShare,
};
// clang-format on
static_assert(pictureReading.InFileOrder(), "the plan lists the sections in file order");
static_assert(pictureReading.TotalSteps() == 200, "a picture makes 200");

}  // namespace pexol
