// tests/export/FcpxmlRead.h - FCPXML documents read back as Final Cut Pro places their clips, and
// checked against Apple's DTD
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pexol::test {

/// A clip where a reader puts it, in frames of the sequence: its record frames and the media
/// frame it shows first (through its time map, when it has one).
struct FcpxmlClip {
  std::string element;  ///< "asset-clip", "video", "title"
  std::string name;
  std::int64_t recordIn = 0;
  std::int64_t recordOut = 0;
  std::int64_t mediaIn = 0;
  /// Where a spine clip's sound ends, for a clip whose asset has sound and that plays it: its
  /// split edit's end, else the start of an audio crossfade after it, else its edit point
  /// (past which Final Cut Pro plays none); -1 for a clip without sound.
  std::int64_t soundOut = -1;
  /// The same clip at the same frames, its sound aside.
  bool operator==(const FcpxmlClip& other) const {
    return element == other.element && name == other.name && recordIn == other.recordIn &&
           recordOut == other.recordOut && mediaIn == other.mediaIn;
  }
};

std::ostream& operator<<(std::ostream& out, const FcpxmlClip& clip);

struct FcpxmlTransition {
  std::string name;
  std::int64_t start = 0;  ///< where it starts: on the cut
  std::int64_t length = 0;
  bool audioCrossfade = false;  ///< it holds a `filter-audio`
  bool operator==(const FcpxmlTransition&) const = default;
};

/// Per track ("V1" the spine; "V2", "Title images" and "Titles" lanes 1 to 3; "A2" and "A3"
/// lanes -1 and -2) its clips in document order. A clip beside a transition ends or starts
/// where the transition starts; every transition must be centred on its edit point (to half
/// a frame) and every time lie on the frame grid, or the reading fails the test.
struct FcpxmlTimeline {
  std::map<std::string, std::vector<FcpxmlClip>> tracks;
  std::vector<FcpxmlTransition> transitions;

  /// Where each clip of each track of the project ends; the titles' images are left out.
  std::map<std::string, std::vector<std::int64_t>> ClipEnds() const;
  /// The transitions as (start, length); those with an audio crossfade alone when asked.
  std::set<std::pair<std::int64_t, std::int64_t>> TransitionSpans(bool crossfades = false) const;
  /// Where the sound of each spine clip that has sound ends.
  std::vector<std::int64_t> SoundEnds() const;
};

FcpxmlTimeline ReadFcpxml(const std::string& document);

/// Apple's FCPXML 1.10 DTD in ../shared/fcpxml, or empty where ../shared is absent (where it is
/// here and the DTD is not, validating against the path fails).
std::string FcpxmlDtdPath();

/// What libxml2's validation against the DTD at `dtdPath` finds wrong with `document`; empty
/// when it is valid.
std::string FcpxmlDtdErrors(const std::string& document, const std::string& dtdPath);

/// Fails the test when the DTD is there and `document` does not match it.
void ExpectValidFcpxml(const std::string& document, const std::string& what);

}  // namespace pexol::test
