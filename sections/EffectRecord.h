// sections/EffectRecord.h - one transition effect: its record layout (effects have no lines)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sections/RecordWalk.h"

namespace pexol {

/// An effect record. The project's text shows no effects: they are copied unchanged, and
/// the timeline takes the clip they follow, that clip's length and the name.
struct EffectRecord {
  std::int32_t clipIndex = 0;   ///< the main clip the effect follows
  std::int32_t clipLength = 0;  ///< that clip's length on the recorder
  std::int32_t value = 0;
  std::uint16_t word = 0;
  std::string name;           ///< becomes the transition name of the next clip
  std::string_view settings;  ///< five dwords nothing interprets
  std::int32_t blockBytes = 0;
  std::string_view block;
  std::string_view closing;  ///< a counted string nothing interprets
};

constexpr std::uint64_t effectSettingsBytes = 5 * 4;

template <class Walker>
void WalkEffectRecord(Walker& w, EffectRecord& effect) {
  w.Dword(effect.clipIndex);
  w.Dword(effect.clipLength);
  w.Dword(effect.value);
  w.Word(effect.word);
  w.String(effect.name);
  w.Raw(effect.settings, effectSettingsBytes);
  w.Dword(effect.blockBytes);
  w.Raw(effect.block, WordBlockBytes(effect.blockBytes));
  w.RawString(effect.closing);
}

}  // namespace pexol
