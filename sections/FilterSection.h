// sections/FilterSection.h - per-clip filter data: slow marks for the EDL, exact copies
#pragma once

#include <cstdint>
#include <string_view>

#include "sections/RunContext.h"

namespace pexol {

/// Reads one main or insert clip's filter record; returns its slow mark.
std::uint32_t ReadTrackFilterRecord(ByteReader& project);
/// Reads one extra audio clip's filter record.
void ReadAudioFilterRecord(ByteReader& project);

/// Reads `count` filter records of the main (insert) track and sets the entries' slow marks.
void DumpMainFilterSection(ToTextRun& run, std::int32_t count);
void DumpInsertFilterSection(ToTextRun& run, std::int32_t count);
/// Reads `count` filter records of an extra audio track.
void DumpAudioFilterSection(ToTextRun& run, std::int32_t count);

/// Consumes `section` (the heading) and copies `count` records unchanged.
void CopyTrackFilterSection(ToProjectRun& run, std::string_view section, std::int32_t count);
void CopyAudioFilterSection(ToProjectRun& run, std::string_view section, std::int32_t count);

}  // namespace pexol
