// tests/support/Timelines.h - timelines built by hand for the layout and export tests
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol::test {

inline TimelineItem Movie(std::string name, std::int32_t sourceIn, std::int32_t sourceOut,
                          std::int32_t recordIn, std::int32_t recordOut, bool audio = false) {
  TimelineItem item;
  item.name = std::move(name);
  item.sourceIn = sourceIn;
  item.sourceOut = sourceOut;
  item.recordIn = recordIn;
  item.recordOut = recordOut;
  item.hasAudio = audio;
  if (audio) item.levels.in = item.levels.out = 100;
  return item;
}

inline TimelineItem Slow(std::string name, std::int32_t sourceIn, std::int32_t sourceOut,
                         std::int32_t recordIn) {
  TimelineItem item = Movie(std::move(name), sourceIn, sourceOut, recordIn,
                            recordIn + 2 * (sourceOut - sourceIn), true);
  item.slow = true;
  return item;
}

inline TimelineItem Of(ItemKind kind, Frames recordIn, Frames recordOut) {
  TimelineItem item;
  item.kind = kind;
  item.sourceOut = recordOut - recordIn;
  item.recordIn = recordIn;
  item.recordOut = recordOut;
  return item;
}

inline Transition Effect(std::size_t from, char code, std::string name, Frames length,
                         Frames recordIn) {
  return {from, std::move(name), code, length, recordIn};
}

/// Every kind of item once: a dissolve from a.avi (with sound) into b.avi, a slow clip, a red
/// colour clip wiped into a still, two inserts with a gap, both extra audio tracks and a title.
inline Timeline SampleTimeline() {
  Timeline timeline;
  timeline.main.push_back(Movie("a.avi", 100, 205, 0, 105, true));
  timeline.main.push_back(Movie("b.avi", 10, 90, 105, 185));
  timeline.main.push_back(Slow("c.avi", 0, 30, 185));
  TimelineItem red = Of(ItemKind::Colour, 245, 305);
  red.name = "color clip";
  red.colour = 0xFF0000;
  timeline.main.push_back(red);
  TimelineItem still = Of(ItemKind::Still, 305, 335);
  still.name = "s.ppm";
  timeline.main.push_back(still);
  timeline.transitions.push_back(Effect(0, 'D', "Dissolve", 15, 105));
  timeline.transitions.push_back(Effect(3, 'W', "Wipe", 10, 305));
  timeline.mainTail = {15, 0, 0, 10, 0};

  timeline.insert.push_back(Movie("i.avi", 10, 40, 200, 230, true));
  timeline.insert.push_back(Movie("i.avi", 50, 60, 250, 260));
  timeline.exAudio[0].push_back(Movie("m.wav", 0, 300, 0, 300, true));
  timeline.exAudio[0].back().levels.points = {{60, 80}, {120, 100}};
  timeline.exAudio[1].push_back(Movie("m.wav", 30, 60, 100, 130, true));

  TimelineItem title = Of(ItemKind::Title, 50, 50 + titleDefaultFrames);
  title.sourceOut = 0;
  title.texts.push_back({"Hello", "Arial", 40, false});
  title.texts.push_back({"logo.bmp", "", 0, true});
  title.texts.push_back({"World", "Arial", 40, false});
  timeline.titles.push_back(title);
  return timeline;
}

inline ExportSettings NtscSettings(bool dropFrame = true) {
  ExportSettings settings;
  settings.projectName = "demo";
  settings.rate = {30000, 1001, dropFrame};
  return settings;
}

inline ExportSettings PalSettings() {
  ExportSettings settings;
  settings.projectName = "demo";
  settings.rate = {25, 1, false};
  return settings;
}

/// The size of the largest projects: 1000 main clips with a dissolve or a wipe into every
/// other one, slow clips, colour clips and stills among them, 300 inserts, 300 clips on each
/// extra audio track and 200 titles, spread along the main track.
inline Timeline LargeTimeline() {
  Timeline timeline;
  std::int32_t recorder = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::string name = "clip" + std::to_string(i) + ".avi";
    TimelineItem item = i % 50 == 7 ? Slow(name, 30, 150, recorder)
                                    : Movie(name, 30 * (i % 7), 30 * (i % 7) + 285, recorder,
                                            recorder + 285, i % 2 == 0);
    if (i % 100 == 3) {
      item.kind = ItemKind::Colour;
      item.colour = 0x102030u * static_cast<std::uint32_t>(i % 5);
    } else if (i % 75 == 11) {
      item.kind = ItemKind::Still;
      item.name = "still" + std::to_string(i) + ".png";
    }
    recorder = item.recordOut.Value();
    if (i > 0 && i % 2 == 0) {
      timeline.transitions.push_back(Effect(static_cast<std::size_t>(i) - 1, i % 4 == 0 ? 'D' : 'W',
                                            "Dissolve", 15, item.recordIn));
    }
    timeline.main.push_back(std::move(item));
  }
  for (int i = 0; i < 300; ++i) {
    const std::int32_t begin = recorder / 300 * i;
    timeline.insert.push_back(
        Movie("insert" + std::to_string(i) + ".avi", 0, 90, begin, begin + 90, i % 2 == 0));
    timeline.exAudio[0].push_back(
        Movie("music" + std::to_string(i) + ".wav", 0, 600, begin, begin + 600, true));
    timeline.exAudio[1].push_back(
        Movie("voice" + std::to_string(i) + ".wav", 30, 150, begin + 60, begin + 180, true));
  }
  for (int i = 0; i < 200; ++i) {
    const std::int32_t begin = recorder / 200 * i;
    TimelineItem title = Of(ItemKind::Title, begin, begin + titleDefaultFrames);
    title.texts.push_back({"Title " + std::to_string(i), "Arial", 36, false});
    timeline.titles.push_back(std::move(title));
  }
  return timeline;
}

}  // namespace pexol::test
