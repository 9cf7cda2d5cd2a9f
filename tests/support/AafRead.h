// tests/support/AafRead.h - AAF files read back by an independent reader (pyaaf2, in
// ../shared): the top-level composition's tracks as placed clips, gaps and transitions, and
// every rule of the structure the editors rely on checked on the way
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pexol::test {

struct AafItem {
  enum Kind { Clip, Gap, Transition } kind = Gap;
  std::int64_t record = 0;  ///< where it starts on the record side
  std::int64_t length =
      0;  ///< a clip's frames up to its cut (its run-on under a transition left out)
  std::int64_t source = 0;      ///< the source frame at `record`
  std::string url;              ///< the file its master mob resolves to
  std::string operation;        ///< a transition's or effect's operation
  std::optional<double> speed;  ///< a time warp's speed ratio
  int wipe = 0;                 ///< a wipe's SMPTE number
  /// Gain keyframes as (frame from the clip's first, amplitude).
  std::vector<std::pair<std::int64_t, double>> gain;
};

struct AafTrack {
  std::string name;
  bool picture = true;
  std::vector<AafItem> items;
};

struct AafMarker {
  std::int64_t position = 0, length = 0;
  std::string comment, font;
};

struct AafRead {
  bool available = false;             ///< false where ../shared is absent
  std::vector<std::string> problems;  ///< the structure's faults; empty when sound
  int topLevel = 0;
  std::int64_t timecodeStart = -1;
  int timecodeFps = 0;
  bool drop = false;
  std::vector<AafTrack> tracks;
  std::vector<AafMarker> markers;
};

/// Reads `bytes` as an AAF file with pyaaf2.
AafRead ReadAaf(const std::string& bytes);

}  // namespace pexol::test
