// tests/model/TimelineTest.cpp - the project read as values and its timeline, on built projects
#include "model/Timeline.h"

#include <gtest/gtest.h>

#include "core/RunObserver.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::AsBytes;

struct Read {
  std::string bytes;
  Project project;
  Timeline timeline;
};

Read ReadBuilt(const build::Project& shape) {
  Read read;
  read.bytes = build::BuildProject(shape);
  NullObserver quiet;
  RunProgress progress(quiet);
  read.project = ReadProject(AsBytes(read.bytes), {test::CoreSoftware(shape.software)}, progress);
  read.timeline = BuildTimeline(read.project);
  return read;
}

build::Clip Movie(std::string name, std::int32_t in, std::int32_t out, std::uint16_t level = 0) {
  build::Clip clip;
  clip.name = std::move(name);
  clip.in = in;
  clip.out = out;
  clip.levelIn = level;
  return clip;
}

TEST(ProjectTest, EveryRecordIsKeptWithItsBytes) {
  const build::Project demo = build::DemoProject();
  const Read read = ReadBuilt(demo);
  EXPECT_EQ(read.project.main.size(), demo.main.size());
  EXPECT_EQ(read.project.bin.size(), demo.bin.size());
  EXPECT_EQ(read.project.unreadBytes, 0u);
  // A section's records lie back to back in the file (what a relink splices relies on), and
  // the option block ends it.
  const auto backToBack = [](const std::vector<std::string_view>& bytes) {
    for (std::size_t i = 1; i < bytes.size(); ++i)
      if (bytes[i - 1].data() + bytes[i - 1].size() != bytes[i].data()) return false;
    return !bytes.empty();
  };
  EXPECT_TRUE(backToBack(read.project.main.bytes));
  EXPECT_TRUE(backToBack(read.project.titles.bytes));
  EXPECT_TRUE(backToBack(read.project.bin.bytes));
  EXPECT_EQ(read.project.bin.bytes.back().data() + read.project.bin.bytes.back().size(),
            read.project.option.data());
  EXPECT_EQ(read.project.option.data() + read.project.option.size(),
            read.bytes.data() + read.bytes.size());
  EXPECT_EQ(read.project.main.bytes.front().data(),
            read.bytes.data() + read.project.fixedHeader.size() + 8);  // aspect ratio, title track
}

TEST(TimelineTest, MainClipsLieBackToBackAndEffectsMakeTransitions) {
  build::Project shape;
  shape.main = {Movie("a.avi", 100, 199, 1), Movie("b.avi", 0, 49), Movie("c.avi", 10, 19)};
  // The dissolve shortens a by 30 frames, which the transition into b plays.
  build::Effect dissolve;
  dissolve.clipIndex = 0;
  dissolve.clipLength = 70;
  dissolve.name = "Dissolve";
  build::Effect wipe;
  wipe.clipIndex = 1;
  wipe.clipLength = 50;
  wipe.name = "Wipe";
  shape.effects = {dissolve, wipe};
  const Timeline timeline = ReadBuilt(shape).timeline;
  ASSERT_EQ(timeline.main.size(), 3u);
  EXPECT_EQ(timeline.main[0].sourceIn, 100);
  EXPECT_EQ(timeline.main[0].sourceOut, 170);
  EXPECT_EQ(timeline.main[0].recordOut, 70);
  EXPECT_TRUE(timeline.main[0].hasAudio);
  EXPECT_EQ(timeline.main[1].recordIn, 70);
  EXPECT_EQ(timeline.main[2].recordIn, 120);
  EXPECT_EQ(timeline.main[2].recordOut, 130);
  ASSERT_EQ(timeline.transitions.size(), 2u);
  EXPECT_EQ(timeline.transitions[0].from, 0u);
  EXPECT_EQ(timeline.transitions[0].code, 'D');
  EXPECT_EQ(timeline.transitions[0].length, 30);
  EXPECT_EQ(timeline.transitions[0].recordIn, 70);
  EXPECT_EQ(timeline.transitions[1].code, 'W');
  EXPECT_EQ(timeline.transitions[1].length, 0);  // the wipe cut nothing off b
}

TEST(TimelineTest, SlowClipsInsertsAndOtherTracks) {
  build::Project shape;
  shape.main = {Movie("a.avi", 0, 99, 1), Movie("b.avi", 0, 9)};
  shape.mainFilters.resize(2);
  shape.mainFilters[0].slow = 1;
  build::Clip insert = Movie("i.avi", 10, 39, 1);
  insert.begin = 500;
  shape.insert = {insert};
  shape.insertFilters.resize(1);
  shape.insertFilters[0].slow = 1;
  shape.exAudio2 = {{"m.wav", 5, 64, 40, 0, 0, {}}};
  build::Clip colour;
  colour.name = "12200A0B0C000BBBBBB00CCCCCC00DDDDDD.clr";
  colour.out = 29;
  shape.main.push_back(colour);
  shape.mainFilters.resize(3);
  const Timeline timeline = ReadBuilt(shape).timeline;
  // A slow clip plays its 100 frames over 200 and loses its audio in the EDL, not here.
  EXPECT_TRUE(timeline.main[0].slow);
  EXPECT_EQ(timeline.main[0].recordOut, 200);
  EXPECT_EQ(timeline.main[1].recordIn, 200);
  EXPECT_EQ(timeline.main[2].kind, ItemKind::Colour);
  EXPECT_EQ(timeline.main[2].colour, 0xA0B0C0u);
  // Two colours counted, running right; the type digit kept.
  EXPECT_EQ(timeline.main[2].fill.colours, (std::vector<std::uint32_t>{0xA0B0C0u, 0xBBBBBBu}));
  EXPECT_EQ(timeline.main[2].fill.direction, 2);
  EXPECT_EQ(timeline.main[2].fill.type, '1');
  EXPECT_EQ(timeline.main[2].sourceIn, 0);
  EXPECT_EQ(timeline.main[2].recordOut - timeline.main[2].recordIn, 30);
  ASSERT_EQ(timeline.insert.size(), 1u);
  EXPECT_EQ(timeline.insert[0].recordIn, 500);
  EXPECT_EQ(timeline.insert[0].recordOut, 560);
  EXPECT_EQ(timeline.insert[0].sourceOut, 40);
  EXPECT_TRUE(timeline.exAudio[0].empty());
  ASSERT_EQ(timeline.exAudio[1].size(), 1u);
  EXPECT_EQ(timeline.exAudio[1][0].recordIn, 40);
  EXPECT_EQ(timeline.exAudio[1][0].recordOut, 100);
}

TEST(TimelineTest, AnEmptyMainTrackLeavesOnlyTheBin) {
  build::Project shape;
  shape.bin = {{"a.avi", "a.avi", 0, 9, 48000, 16}};
  const Read read = ReadBuilt(shape);
  EXPECT_TRUE(read.timeline.main.empty());
  EXPECT_TRUE(read.timeline.transitions.empty());
  EXPECT_EQ(read.project.bin.size(), 1u);
}

TEST(TimelineTest, TitlesCarryTheirTextsAndAPlace) {
  build::Project shape;
  shape.main = {Movie("a.avi", 0, 299)};
  build::Title title;
  title.begin = 120;
  title.elements.resize(2);
  title.elements[0].text = "Hello";
  title.elements[0].fontName = "Gothic";
  title.elements[0].fontSize = 24;
  title.elements[1].text = "logo.bmp";
  title.elements[1].elementValue = 1;
  shape.titles = {title};
  const Timeline timeline = ReadBuilt(shape).timeline;
  ASSERT_EQ(timeline.titles.size(), 1u);
  EXPECT_EQ(timeline.titles[0].recordIn, 120);
  EXPECT_EQ(timeline.titles[0].recordOut, 120 + titleDefaultFrames);
  ASSERT_EQ(timeline.titles[0].texts.size(), 2u);
  EXPECT_EQ(timeline.titles[0].texts[0].font, "Gothic");
  EXPECT_FALSE(timeline.titles[0].texts[0].namesMedia);
  EXPECT_TRUE(timeline.titles[0].texts[1].namesMedia);
}

}  // namespace
}  // namespace pexol
