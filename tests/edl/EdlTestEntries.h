// tests/edl/EdlTestEntries.h - per-clip summaries of the EDL's worked examples, as projects
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ByteWriter.h"
#include "core/RunProgress.h"
#include "edl/Edl.h"
#include "edl/EdlEvents.h"
#include "model/Project.h"
#include "model/Timeline.h"

namespace pexol {

/// A main clip as the EDL sees it: `length` is its length on the recorder (an effect's clip
/// length), `transition` the name of the effect on the clip before it.
struct MainTrackEntry {
  std::string name;
  std::int32_t length = 0;
  std::int32_t in = 0;
  std::int32_t outEnd = 0;
  std::string transition;
  std::int32_t hasAudio = 0;
  std::int32_t slow = 0;
};

struct InsertTrackEntry {
  std::string name;
  std::int32_t in = 0;
  std::int32_t outEnd = 0;
  std::int32_t begin = 0;
  std::int32_t hasAudio = 0;
  std::int32_t slow = 0;
};

struct ExAudioEntry {
  std::string name;
  std::int32_t in = 0;
  std::int32_t outEnd = 0;
  std::int32_t begin = 0;
};

/// Main clips plus a trailing entry (the transition of an effect on the last clip).
struct TrackEntries {
  std::vector<MainTrackEntry> main;
  std::vector<InsertTrackEntry> insert;
  std::vector<ExAudioEntry> exAudio[2];
};

/// The project whose records and effects give `entries`: an effect wherever a length is cut
/// or a transition named, a filter record per clip for the slow marks.
inline Project ProjectOf(const TrackEntries& entries) {
  Project project;
  const auto before = [](std::int32_t outEnd) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(outEnd) - 1u);
  };
  const auto clip = [&](const std::string& name, std::int32_t in, std::int32_t outEnd,
                        std::int32_t begin, std::int32_t hasAudio) {
    ClipRecord record{name, ClipKind::Movie, in, before(outEnd), begin, {}, {}};
    record.levels.in = hasAudio ? 1 : 0;
    return record;
  };
  const std::size_t mainCount = entries.main.empty() ? 0 : entries.main.size() - 1;
  for (std::size_t i = 0; i < mainCount; ++i) {
    const MainTrackEntry& e = entries.main[i];
    project.main.records.push_back(clip(e.name, e.in, e.outEnd, 0, e.hasAudio));
    TrackFilterRecord filter;
    filter.slow = static_cast<std::uint32_t>(e.slow);
    project.mainFilters.records.push_back(filter);
    const std::int32_t span = static_cast<std::int32_t>(static_cast<std::uint32_t>(e.outEnd) -
                                                        static_cast<std::uint32_t>(e.in));
    const std::string& next = entries.main[i + 1].transition;
    if (e.length != span || !next.empty()) {
      EffectRecord effect;
      effect.clipIndex = static_cast<std::int32_t>(i);
      effect.clipLength = e.length;
      effect.name = next;
      project.effects.records.push_back(effect);
    }
  }
  for (const InsertTrackEntry& e : entries.insert) {
    project.insert.records.push_back(clip(e.name, e.in, e.outEnd, e.begin, e.hasAudio));
    TrackFilterRecord filter;
    filter.slow = static_cast<std::uint32_t>(e.slow);
    project.insertFilters.records.push_back(filter);
  }
  for (int track = 0; track < 2; ++track)
    for (const ExAudioEntry& e : entries.exAudio[track])
      project.exAudio[track].records.push_back({e.name, e.in, before(e.outEnd), e.begin, {}});
  return project;
}

inline void BuildEdlEvents(const TrackEntries& entries,
                           const std::function<void(const EdlEvent&)>& emit,
                           const std::function<void(int)>& mainClipDone = {}) {
  BuildEdlEvents(BuildTimeline(ProjectOf(entries)), emit, mainClipDone);
}

inline void WriteEdl(const TrackEntries& entries, TimecodeMode mode, bool csv, ByteWriter& out,
                     RunProgress& progress) {
  WriteEdl(BuildTimeline(ProjectOf(entries)), mode, csv, out, progress);
}

}  // namespace pexol

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
