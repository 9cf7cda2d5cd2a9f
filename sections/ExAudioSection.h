// sections/ExAudioSection.h - the two extra audio tracks in both directions
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sections/RunContext.h"
#include "sections/ClipRecord.h"

namespace pexol {

/// One extra audio clip: the insert clip layout without kinds.
struct ExAudioClip {
  std::string name;
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t begin = 0;
  Levels levels;
};

ExAudioClip ReadExAudioClip(ByteReader& project);

/// Reads `count` records of track `track` (0 or 1), writes their lines and fills
/// that track's entries.
void DumpExAudioSection(ToTextRun& run, int track, std::int32_t count);
/// Consumes the track's heading, writes the count and turns `count` lines into records.
void ParseExAudioSection(ToProjectRun& run, int track, std::int32_t count);
/// The record a line stands for.
ExAudioClip ParseExAudioLine(std::string_view line);
/// Moves the source past `count` records.
void SkipExAudioRecords(ToProjectRun& run, int track, std::int32_t count);

}  // namespace pexol
