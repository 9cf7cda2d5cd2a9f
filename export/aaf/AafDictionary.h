// export/aaf/AafDictionary.h - the definitions an AAF file's objects name: kinds of data,
// operations with their parameters, interpolation; registered identifiers, with Media
// Composer's own where it writes its own (its video dissolve)
#pragma once

#include "export/aaf/AafObject.h"

namespace pexol::aaf {

/// Identifiers, parsed once.
namespace ids {
inline const Auid picture = AuidOf("01030202-0100-0000-060e-2b3404010101");
inline const Auid sound = AuidOf("01030202-0200-0000-060e-2b3404010101");
inline const Auid timecode = AuidOf("01030201-0100-0000-060e-2b3404010101");
inline const Auid descriptiveMetadata = AuidOf("01030201-1000-0000-060e-2b3404010101");
inline const Auid videoDissolve = AuidOf("89d9b67e-5584-302d-9abd-8bd330c46841");
inline const Auid audioDissolve = AuidOf("0c3bea41-fc05-11d2-8a29-0050040ef7d2");
inline const Auid wipe = AuidOf("0c3bea44-fc05-11d2-8a29-0050040ef7d2");
inline const Auid motionControl = AuidOf("9d2ea890-0968-11d3-8a38-0050040ef7d2");
inline const Auid audioGain = AuidOf("9d2ea894-0968-11d3-8a38-0050040ef7d2");
inline const Auid level = AuidOf("e4962320-2267-11d3-8a4c-0050040ef7d2");
inline const Auid amplitude = AuidOf("e4962321-2267-11d3-8a4c-0050040ef7d2");
inline const Auid wipeNumber = AuidOf("e4962323-2267-11d3-8a4c-0050040ef7d2");
inline const Auid speedRatio = AuidOf("72559a80-24d7-11d3-8a50-0050040ef7d2");
inline const Auid linear = AuidOf("5b6c85a4-0ede-11d3-80a9-006008143e6f");
inline const Auid effectCategory = AuidOf("0d010102-0101-0100-060e-2b3404010101");
inline const Auid topLevel = AuidOf("0d010102-0101-0700-060e-2b3404010101");
inline const Auid editProtocol = AuidOf("0d011201-0100-0000-060e-2b3404010105");
inline const Auid rationalType = AuidOf("03010100-0000-0000-060e-2b3401040101");
inline const Auid int32Type = AuidOf("01010700-0000-0000-060e-2b3401040101");
inline const Auid stringType = AuidOf("01100200-0000-0000-060e-2b3401040101");
}  // namespace ids

/// Fills the dictionary with every definition the ids above name.
void FillDictionary(Node& dictionary);

}  // namespace pexol::aaf
