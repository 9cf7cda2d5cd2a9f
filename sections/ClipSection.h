// sections/ClipSection.h - the main and insert track sections in both directions
#pragma once

#include <cstdint>

#include "sections/RunContext.h"

namespace pexol {

/// Reads `count` main clip records, writes their lines and fills the main entries
/// (plus the trailing entry). Fails on a clip of no known kind.
void DumpMainSection(ToTextRun& run, std::int32_t count);
/// The same for the insert track; the driver has read the count.
void DumpInsertSection(ToTextRun& run, std::int32_t count);

/// Turns `count` lines into main clip records (the heading is already consumed).
void ParseMainSection(ToProjectRun& run, std::int32_t count);
/// Consumes the "[InsertAV]" heading, writes the count, turns `count` lines into records.
void ParseInsertSection(ToProjectRun& run, std::int32_t count);

/// Moves the source past `count` records of a track.
void SkipMainRecords(ToProjectRun& run, std::int32_t count);
void SkipInsertRecords(ToProjectRun& run, std::int32_t count);

}  // namespace pexol
