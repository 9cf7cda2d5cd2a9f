// tests/edl/EdlTestEntries.h - track entries filled the way the section readers fill them
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/TrackEntries.h"

namespace pexol::test {

/// A movie clip covering source frames in..out, unshortened.
inline MainTrackEntry MovieClip(std::string name, std::int32_t in, std::int32_t out,
                                std::int32_t hasAudio = 0) {
  MainTrackEntry clip;
  clip.name = std::move(name);
  clip.length = out - in + 1;
  clip.in = in;
  clip.outEnd = out + 1;
  clip.hasAudio = hasAudio;
  return clip;
}

/// Main clips plus the trailing entry, whose transition names an effect on the last clip.
inline TrackEntries MainTrack(std::vector<MainTrackEntry> clips, std::string lastTransition = {}) {
  TrackEntries entries;
  entries.main = std::move(clips);
  entries.main.emplace_back().transition = std::move(lastTransition);
  return entries;
}

inline InsertTrackEntry InsertClip(std::string name, std::int32_t in, std::int32_t outEnd,
                                   std::int32_t begin, std::int32_t hasAudio = 0) {
  InsertTrackEntry clip;
  clip.name = std::move(name);
  clip.in = in;
  clip.outEnd = outEnd;
  clip.begin = begin;
  clip.hasAudio = hasAudio;
  return clip;
}

inline ExAudioEntry AudioClip(std::string name, std::int32_t in, std::int32_t outEnd,
                              std::int32_t begin) {
  return ExAudioEntry{std::move(name), in, outEnd, begin};
}

/// The project of the worked examples: a.avi, b.avi after a dissolve, a colour clip after a
/// wipe, one insert and one clip on extra audio track 1.
inline TrackEntries ExampleEntries() {
  MainTrackEntry a = MovieClip("a.avi", 100, 249, 1);
  a.length = 120;  // the dissolve's clipLength
  MainTrackEntry b = MovieClip("b.avi", 0, 299);
  b.length = 285;  // the wipe's clipLength
  b.transition = "Dissolve";
  MainTrackEntry color = MovieClip("color clip", 0, 89);
  color.transition = "Wipe";
  TrackEntries entries = MainTrack({a, b, color});
  entries.insert.push_back(InsertClip("i.avi", 10, 40, 200, 1));
  entries.exAudio[0].push_back(AudioClip("m.wav", 0, 600, 0));
  return entries;
}

/// The EDL of ExampleEntries(): fixed columns in drop frame and frame mode, CSV in drop frame.
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
