// export/aaf/AafDictionary.h - the definitions an AAF file's objects name: kinds of data,
// operations with their parameters, interpolation; registered identifiers, with Media
// Composer's own where it writes its own (its video dissolve)
#pragma once

#include <memory>
#include <string>

#include "export/aaf/AafObject.h"

namespace pexol::aaf {

/// Identifiers, as AUID text.
namespace ids {
inline constexpr const char* picture = "01030202-0100-0000-060e-2b3404010101";
inline constexpr const char* sound = "01030202-0200-0000-060e-2b3404010101";
inline constexpr const char* timecode = "01030201-0100-0000-060e-2b3404010101";
inline constexpr const char* descriptiveMetadata = "01030201-1000-0000-060e-2b3404010101";
inline constexpr const char* videoDissolve = "89d9b67e-5584-302d-9abd-8bd330c46841";
inline constexpr const char* audioDissolve = "0c3bea41-fc05-11d2-8a29-0050040ef7d2";
inline constexpr const char* wipe = "0c3bea44-fc05-11d2-8a29-0050040ef7d2";
inline constexpr const char* motionControl = "9d2ea890-0968-11d3-8a38-0050040ef7d2";
inline constexpr const char* audioGain = "9d2ea894-0968-11d3-8a38-0050040ef7d2";
inline constexpr const char* level = "e4962320-2267-11d3-8a4c-0050040ef7d2";
inline constexpr const char* amplitude = "e4962321-2267-11d3-8a4c-0050040ef7d2";
inline constexpr const char* wipeNumber = "e4962323-2267-11d3-8a4c-0050040ef7d2";
inline constexpr const char* speedRatio = "72559a80-24d7-11d3-8a50-0050040ef7d2";
inline constexpr const char* linear = "5b6c85a4-0ede-11d3-80a9-006008143e6f";
inline constexpr const char* rationalType = "03010100-0000-0000-060e-2b3401040101";
inline constexpr const char* int32Type = "01010700-0000-0000-060e-2b3401040101";
inline constexpr const char* stringType = "01100200-0000-0000-060e-2b3401040101";
}  // namespace ids

/// The stored form of an identifier, as keys and weak references take it.
std::string KeyOf(const char* id);

/// The dictionary holding every definition the ids above name.
std::unique_ptr<Object> Dictionary();

}  // namespace pexol::aaf
