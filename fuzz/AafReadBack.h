// fuzz/AafReadBack.h - an AAF file read back by a reader of its own, written from the container's
// and the properties' layouts alone (nothing shared with the writer): for the fuzz target and
// the tests, which hold every file to the rules its readers rely on
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pexol::fuzz {

/// The top-level composition's tracks as read: each slot's name, the length its sequence plays
/// (its components' lengths, less the transitions that overlap them) and its transitions.
struct AafTrackRead {
  std::string name;
  std::int64_t length = 0;
  int transitions = 0;
};

struct AafFileRead {
  std::vector<AafTrackRead> tracks;
  int topLevel = 0;       ///< compositions that are top-level
  bool timecode = false;  ///< the composition's first slot is its timecode
};

/// The file's top-level composition; the description of the first rule the file breaks when
/// it breaks one (a container that does not hold together, a property stream that does not add
/// up, a set or vector whose index names objects that are not there, a sequence whose length
/// is not its components').
struct AafReadResult {
  AafFileRead file;
  std::optional<std::string> broken;
};
AafReadResult ReadAafBack(const std::string& bytes);

}  // namespace pexol::fuzz
