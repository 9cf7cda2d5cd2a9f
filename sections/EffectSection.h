// sections/EffectSection.h - transition effects: read for the EDL, copied unchanged
#pragma once

#include <cstdint>
#include <string>

#include "sections/RunContext.h"

namespace pexol {

/// The fields of an effect record that anything looks at.
struct EffectRecord {
  std::int32_t clipIndex = 0;   ///< the main clip the effect follows
  std::int32_t clipLength = 0;  ///< that clip's length on the recorder
  std::string name;             ///< becomes the transition name of the next clip
};

/// Reads one whole effect record.
EffectRecord ReadEffectRecord(ByteReader& project);
/// Moves past a block of 32-bit words given by its byte count (whole words, none when
/// the count is 0 or negative).
void SkipWordBlock(ByteReader& project, std::int32_t byteCount);

/// Reads `count` effects and marks lengths and transitions in the main entries.
void DumpEffectSection(ToTextRun& run, std::int32_t count);
/// Writes the count and copies `count` effect records unchanged.
void CopyEffectSection(ToProjectRun& run, std::int32_t count);

}  // namespace pexol
