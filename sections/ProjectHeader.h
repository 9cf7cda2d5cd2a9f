// sections/ProjectHeader.h - the header of a project file and the version rules of its sections
#pragma once

#include <cstdint>
#include <string>

#include "core/Options.h"

namespace pexol {

class ByteReader;

constexpr int versionWithEffects = 0x200;      ///< effect and title sections exist
constexpr int versionWithAspectRatio = 0x205;  ///< header grows from 16 to 20 bytes
constexpr int versionWithFilters = 0x207;  ///< title track and filter blocks ("Corvane, Brisko")

/// The fixed start of every project: 16 bytes, then the optional fields.
struct ProjectHeader {
  std::uint16_t version = 0;  ///< first byte minor, second major: 07 02 is 0x0207
  std::uint16_t reserved = 0;
  std::int32_t binClipCount = 0;
  std::int32_t mainClipCount = 0;
  std::int32_t audioFrequency = 0;
};

/// Reads the first 16 bytes of the header.
ProjectHeader ReadHeader(ByteReader& project);

inline bool HasEffectsAndTitles(int version) {
  return version >= versionWithEffects;
}
inline bool HasAspectRatio(int version) {
  return version >= versionWithAspectRatio;
}
inline bool HasTitleTrack(int version, Software software) {
  return version >= versionWithFilters && software == Software::CorvaneBrisko;
}
inline bool HasFilterBlocks(int version, Software software) {
  return HasTitleTrack(version, software);
}
/// Title records carry extra fields from 0x207 on, and always in "Lumetta" projects.
inline bool HasTitleExtension(int version, Software software) {
  return version >= versionWithFilters || software == Software::Lumetta;
}

/// "48kHz16bit" and the like; the code in decimal when it is not a known one; empty for 0.
std::string FrequencyText(std::int32_t audioFrequency);

}  // namespace pexol
