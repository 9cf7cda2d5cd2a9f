// tests/export/Cmx3600WriterTest.cpp - CMX 3600 lists: layout, dissolve pairs, speed, positions
#include <gtest/gtest.h>

#include <sstream>

#include "ExportTimelines.h"
#include "export/Cmx3600Writer.h"

namespace pexol {
namespace {

using test::MediaUnderSlashMedia;

std::vector<ExportFile> Write(const Timeline& timeline, const ExportSettings& settings,
                              ExportCounts& counts) {
  return test::ExportFiles("cmx3600", timeline, settings, MediaUnderSlashMedia, counts);
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(Cmx3600Writer, MainTrackInTheUsualLayout) {
  ExportCounts counts;
  const auto files = Write(test::SampleTimeline(), test::NtscSettings(), counts);
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].suffix, "");
  // Exclusive outs; the dissolve and the wipe each one event of two lines, the first a cut of
  // no length of the outgoing clip where its source was cut, both of the picture alone where
  // one clip is silent (a.avi's sound ends on the cut).
  EXPECT_EQ(files[0].bytes, WithCrLf(R"(TITLE: demo
FCM: DROP FRAME

001  AX       B     C        00:00:03;10 00:00:06;25 00:00:00;00 00:00:03;15
* FROM CLIP NAME: a.avi
* SOURCE FILE: /media/a.avi

002  AX       V     C        00:00:06;25 00:00:06;25 00:00:03;15 00:00:03;15
002  AX       V     D    015 00:00:00;10 00:00:03;00 00:00:03;15 00:00:06;05
* FROM CLIP NAME: a.avi
* TO CLIP NAME: b.avi
* SOURCE FILE: /media/b.avi

003  AX       V     C        00:00:00;00 00:00:01;00 00:00:06;05 00:00:08;05
M2   AX       014.9                00:00:00:00
* FROM CLIP NAME: c.avi
* SOURCE FILE: /media/c.avi

004  BL       V     C        00:00:00;00 00:00:02;00 00:00:08;05 00:00:10;05
* FROM CLIP NAME: Colour #FF0000

005  BL       V     C        00:00:02;00 00:00:02;00 00:00:10;05 00:00:10;05
005  AX       V     W001 010 00:00:00;00 00:00:01;00 00:00:10;05 00:00:11;05
* FROM CLIP NAME: Colour #FF0000
* TO CLIP NAME: s.ppm
* SOURCE FILE: /media/s.ppm
)"));
  EXPECT_EQ(counts.tracks, 4);
  EXPECT_EQ(counts.clips, 5 + 2 + 1 + 1);
  EXPECT_EQ(counts.transitions, 2);
}

TEST(Cmx3600Writer, OtherTracksOneListEach) {
  ExportCounts counts;
  const auto files = Write(test::SampleTimeline(), test::NtscSettings(false), counts);
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[1].suffix, "-insert");
  EXPECT_EQ(files[2].suffix, "-exaudio1");
  EXPECT_EQ(files[3].suffix, "-exaudio2");
  EXPECT_EQ(files[1].bytes, WithCrLf(R"(TITLE: demo-insert
FCM: NON-DROP FRAME

001  AX       B     C        00:00:00:10 00:00:01:10 00:00:06:20 00:00:07:20
* FROM CLIP NAME: i.avi
* SOURCE FILE: /media/i.avi

002  AX       V     C        00:00:01:20 00:00:02:00 00:00:08:10 00:00:08:20
* FROM CLIP NAME: i.avi
* SOURCE FILE: /media/i.avi
)"));
  EXPECT_NE(files[3].bytes.find("001  AX       A     C        00:00:01:00 00:00:02:00 "
                                "00:00:03:10 00:00:04:10\r\n"),
            std::string::npos);

  // A track without clips has no list; titles never have one.
  Timeline mainOnly = test::SampleTimeline();
  mainOnly.insert.clear();
  mainOnly.exAudio[0].clear();
  mainOnly.exAudio[1].clear();
  EXPECT_EQ(Write(mainOnly, test::NtscSettings(), counts).size(), 1u);
  EXPECT_EQ(counts.tracks, 1);
}

TEST(Cmx3600Writer, DropFrameLabelsAndPalSeconds) {
  Timeline timeline;
  // One hour of NTSC drop frame is 107892 frames; a minute not divisible by ten skips two labels.
  timeline.main.push_back(test::Movie("a.avi", 1800, 107892, 0, 106092));
  ExportCounts counts;
  auto files = Write(timeline, test::NtscSettings(), counts);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].bytes.find("00:01:00;02 01:00:00;00 00:00:00;00 00:58:59;28"),
            std::string::npos)
      << files[0].bytes;

  files = Write(timeline, test::PalSettings(), counts);
  EXPECT_NE(files[0].bytes.find("FCM: NON-DROP FRAME"), std::string::npos);
  EXPECT_NE(files[0].bytes.find("00:01:12:00 01:11:55:17 00:00:00:00 01:10:43:17"),
            std::string::npos)
      << files[0].bytes;

  timeline.main[0].slow = true;
  files = Write(timeline, test::PalSettings(), counts);
  EXPECT_NE(files[0].bytes.find("\r\nM2   AX       012.5                00:01:12:00\r\n"),
            std::string::npos);
}

struct EventLine {
  int number = 0;
  std::string channel;
  std::int32_t frames[4] = {};  // source in, source out, record in, record out
  bool slow = false;            // an M2 line follows
};

std::int32_t FramesOfNonDrop(const std::string& timecode) {
  const int hours = std::stoi(timecode.substr(0, 2));
  const int minutes = std::stoi(timecode.substr(3, 2));
  const int seconds = std::stoi(timecode.substr(6, 2));
  const int frames = std::stoi(timecode.substr(9, 2));
  return ((hours * 60 + minutes) * 60 + seconds) * 30 + frames;
}

std::vector<EventLine> EventLines(const std::string& text) {
  std::vector<EventLine> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("M2") && !lines.empty()) lines.back().slow = true;
    if (line.empty() || line[0] < '0' || line[0] > '9') continue;
    std::istringstream fields(line);
    EventLine event;
    std::string reel;
    std::string transition;
    fields >> event.number >> reel >> event.channel >> transition;
    if (transition != "C") fields >> transition;  // the length
    for (std::int32_t& frame : event.frames) {
      std::string timecode;
      fields >> timecode;
      frame = FramesOfNonDrop(timecode);
    }
    lines.push_back(event);
  }
  return lines;
}

// OpenTimelineIO's CMX 3600 reader refuses an event whose source and record durations differ;
// a slow clip states its speed on the M2 line after it instead.
TEST(Cmx3600Writer, SourceAndRecordDurationsAgree) {
  for (Timeline timeline : {test::SampleTimeline(), test::LargeTimeline()}) {
    timeline.insert.push_back(test::Movie("early.avi", -5, 20, 300, 325));
    timeline.exAudio[1].push_back(test::Movie("early.wav", -30, 20, 400, 450, true));
    // A colour whose in point is before its start: its source runs as long as its record.
    TimelineItem colour = test::Of(ItemKind::Colour, 500, 555);
    colour.sourceIn = -5;
    colour.sourceOut = 50;
    timeline.insert.push_back(colour);
    ExportCounts counts;
    int events = 0;
    for (const ExportFile& file : Write(timeline, test::NtscSettings(false), counts)) {
      for (const EventLine& line : EventLines(file.bytes)) {
        if (line.slow) continue;
        EXPECT_EQ(line.frames[1] - line.frames[0], line.frames[3] - line.frames[2])
            << file.suffix << ": event " << line.number;
        ++events;
      }
    }
    EXPECT_GT(events, 10);
  }
}

// Every event of a list the size of the largest projects gives its clip's own positions, in
// track order, numbered on past 999; a transition has picture and sound ("B") where both clips
// carry sound, else the picture alone, the incoming clip's sound an event of its own.
TEST(Cmx3600Writer, EventsAgreeWithTheTimeline) {
  const auto sounds = [](const TimelineItem& clip) {
    return clip.kind == ItemKind::Movie && clip.hasAudio && !clip.slow;
  };
  const Timeline timeline = test::LargeTimeline();
  ExportCounts counts;
  const auto files = Write(timeline, test::NtscSettings(false), counts);
  ASSERT_EQ(files.size(), 4u);
  const std::vector<TimelineItem>* tracks[] = {&timeline.main, &timeline.insert,
                                               &timeline.exAudio[0], &timeline.exAudio[1]};
  for (std::size_t t = 0; t < 4; ++t) {
    SCOPED_TRACE(files[t].suffix);
    const auto lines = EventLines(files[t].bytes);
    std::size_t item = 0;
    int lastNumber = 0;
    for (std::size_t l = 0; l < lines.size(); ++l) {
      const EventLine& line = lines[l];
      const bool openingCut = l + 1 < lines.size() && lines[l + 1].number == line.number;
      if (openingCut) {
        // The outgoing clip, where its source was cut, for no frames.
        ASSERT_GT(item, 0u);
        const TimelineItem& outgoing = (*tracks[t])[item - 1];
        EXPECT_EQ(line.frames[0], outgoing.sourceOut);
        EXPECT_EQ(line.frames[1], outgoing.sourceOut);
        EXPECT_EQ(line.frames[2], outgoing.recordOut);
        EXPECT_EQ(line.frames[3], outgoing.recordOut);
        EXPECT_EQ(line.channel, lines[l + 1].channel);
        continue;
      }
      if (t == 0 && line.channel == "A") {
        ASSERT_GT(item, 0u);
        const TimelineItem& clip = (*tracks[t])[item - 1];
        EXPECT_TRUE(sounds(clip));
        EXPECT_EQ(line.number, ++lastNumber);
        EXPECT_EQ(line.frames[2], clip.recordIn);
        EXPECT_EQ(line.frames[3], clip.recordOut);
        continue;
      }
      ASSERT_LT(item, tracks[t]->size());
      const TimelineItem& clip = (*tracks[t])[item++];
      EXPECT_EQ(line.number, ++lastNumber);
      EXPECT_EQ(line.frames[0], clip.sourceIn);
      EXPECT_EQ(line.frames[1], clip.sourceOut);
      EXPECT_EQ(line.frames[2], clip.recordIn);
      EXPECT_EQ(line.frames[3], clip.recordOut);
      if (t == 0) {
        const bool transition = l > 0 && lines[l - 1].number == line.number;
        const bool both = sounds(clip) && (!transition || sounds((*tracks[t])[item - 2]));
        EXPECT_EQ(line.channel, both ? "B" : "V");
      }
    }
    EXPECT_EQ(item, tracks[t]->size());
  }
  EXPECT_NE(files[0].bytes.find("\r\n999  AX  "), std::string::npos);
  EXPECT_NE(files[0].bytes.find("\r\n1000 AX  "), std::string::npos);
  EXPECT_EQ(counts.transitions, static_cast<int>(timeline.transitions.size()));
}

}  // namespace
}  // namespace pexol
