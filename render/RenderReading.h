// render/RenderReading.h - how a render reads a project: status texts and steps
#pragma once

#include "model/ReadingPlan.h"

namespace pexol {

/// A render's steps for the encoding, nearly all of its bar: reading takes a moment beside it.
constexpr int renderShare = 192;

/// The render: a few steps for the sections, the rest for the encoding.
// clang-format off
inline constexpr ReadingPlan renderReading = {
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
    .afterReadingShare = renderShare,
    .notesUnreadBytes = true,
};
// clang-format on
static_assert(renderReading.InFileOrder(), "the plan lists the sections in file order");
static_assert(renderReading.TotalSteps() == 200, "a render makes 200");

}  // namespace pexol
