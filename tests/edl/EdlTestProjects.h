// tests/edl/EdlTestProjects.h - projects stated record by record, and the worked examples' EDLs
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Project.h"
#include "model/Timeline.h"

namespace pexol::test {

/// A project built record by record, read as the product reads it: through its timeline.
class EdlProject {
 public:
  /// A main movie clip showing source frames in..out (both included); `audio` gives it a level,
  /// `slow` is its filter record's slow mark.
  EdlProject& Main(std::string name, std::int32_t in, std::int32_t out, bool audio = false,
                   std::uint32_t slow = 0) {
    project_.main.records.push_back(Clip(std::move(name), in, out, 0, audio));
    TrackFilterRecord filter;
    filter.slow = slow;
    project_.mainFilters.records.push_back(filter);
    return *this;
  }

  /// An effect on main clip `clip`: that clip's length on the recorder, and the name of the
  /// transition into the clip after it (none when empty).
  EdlProject& Effect(std::int32_t clip, std::int32_t length, std::string name = {}) {
    EffectRecord effect;
    effect.clipIndex = clip;
    effect.clipLength = length;
    effect.name = std::move(name);
    project_.effects.records.push_back(std::move(effect));
    return *this;
  }

  EdlProject& Insert(std::string name, std::int32_t in, std::int32_t out, std::int32_t begin,
                     bool audio = false, std::uint32_t slow = 0) {
    project_.insert.records.push_back(Clip(std::move(name), in, out, begin, audio));
    TrackFilterRecord filter;
    filter.slow = slow;
    project_.insertFilters.records.push_back(filter);
    return *this;
  }

  /// A clip on extra audio track `track` (0 or 1).
  EdlProject& Audio(int track, std::string name, std::int32_t in, std::int32_t out,
                    std::int32_t begin) {
    project_.exAudio[track].records.push_back({std::move(name), in, out, begin, {}});
    return *this;
  }

  Timeline BuildTimeline() const { return pexol::BuildTimeline(project_); }

 private:
  static ClipRecord Clip(std::string name, std::int32_t in, std::int32_t out, std::int32_t begin,
                         bool audio) {
    ClipRecord record{std::move(name), ClipKind::Movie, in, out, begin, {}, {}};
    record.levels.in = audio ? 1 : 0;
    return record;
  }

  Project project_;
};

/// The project of the worked examples: a.avi, b.avi after a dissolve, a clip named
/// "color clip" after a wipe, one insert and one clip on extra audio track 1.
inline EdlProject ExampleProject() {
  EdlProject project;
  project.Main("a.avi", 100, 249, true).Main("b.avi", 0, 299).Main("color clip", 0, 89);
  project.Effect(0, 120, "Dissolve").Effect(1, 285, "Wipe");
  project.Insert("i.avi", 10, 39, 200, true);
  project.Audio(0, "m.wav", 0, 599, 0);
  return project;
}

/// The EDL of ExampleProject(): fixed columns in drop frame and frame mode, CSV in drop frame.
inline constexpr std::string_view exampleDropFrameEdl =
    "Event                    Source                      Recorder\r\n"
    "                         IN            OUT           IN            OUT\r\n"
    "001 MAIN  VA   C         00:00:03;10   00:00:07;10   00:00:00;00   00:00:04;00   "
    "a.avi\r\n"
    "001 MAIN  V    D  01:00  00:00:00;00   00:00:09;15   00:00:04;00   00:00:13;15   "
    "b.avi\r\n"
    "002 MAIN  V    C         00:00:09;15   00:00:09;15   00:00:13;15   00:00:13;15\r\n"
    "002 MAIN  V    W  00:15  00:00:00;00   00:00:03;00   00:00:13;15   00:00:16;15   "
    "color clip\r\n"
    "003 INS   VA   C         00:00:00;10   00:00:01;10   00:00:06;20   00:00:07;20   "
    "i.avi\r\n"
    "004 ExA1  A    C         00:00:00;00   00:00:20;00   00:00:00;00   00:00:20;00   "
    "m.wav\r\n";

inline constexpr std::string_view exampleFrameEdl =
    "Event                        Source            Recorder\r\n"
    "                             IN      OUT       IN      OUT\r\n"
    "001 MAIN  VA   C            100      220        0      120   a.avi\r\n"
    "001 MAIN  V    D     30       0      285      120      405   b.avi\r\n"
    "002 MAIN  V    C            285      285      405      405\r\n"
    "002 MAIN  V    W     15       0       90      405      495   color clip\r\n"
    "003 INS   VA   C             10       40      200      230   i.avi\r\n"
    "004 ExA1  A    C              0      600        0      600   m.wav\r\n";

inline constexpr std::string_view exampleCsvEdl =
    "\"EVENT No.\",\"TRACK\",\"MEDIA\",\"TRANSITION\",\"TRANSITION TIME\",\"SOURCE IN\","
    "\"SOURCE OUT\",\"RECORDER IN\",\"RECORDER OUT\",\"CLIP NAME\"\r\n"
    "001,\"MAIN\",\"VA\",\"C\",,\"00:00:03;10\",\"00:00:07;10\",\"00:00:00;00\","
    "\"00:00:04;00\",\"a.avi\"\r\n"
    "001,\"MAIN\",\"V\",\"D\",\"01:00\",\"00:00:00;00\",\"00:00:09;15\",\"00:00:04;00\","
    "\"00:00:13;15\",\"b.avi\"\r\n"
    "002,\"MAIN\",\"V\",\"C\",,\"00:00:09;15\",\"00:00:09;15\",\"00:00:13;15\","
    "\"00:00:13;15\"\r\n"
    "002,\"MAIN\",\"V\",\"W\",\"00:15\",\"00:00:00;00\",\"00:00:03;00\",\"00:00:13;15\","
    "\"00:00:16;15\",\"color clip\"\r\n"
    "003,\"INS\",\"VA\",\"C\",,\"00:00:00;10\",\"00:00:01;10\",\"00:00:06;20\","
    "\"00:00:07;20\",\"i.avi\"\r\n"
    "004,\"ExA1\",\"A\",\"C\",,\"00:00:00;00\",\"00:00:20;00\",\"00:00:00;00\","
    "\"00:00:20;00\",\"m.wav\"\r\n";

}  // namespace pexol::test
