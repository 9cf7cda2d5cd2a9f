// tests/export/TrackLayoutTest.cpp - recorder order, overlaps, transitions and names
#include <gtest/gtest.h>

#include "ExportTimelines.h"
#include "export/TrackLayout.h"

namespace pexol {
namespace {

TEST(TrackLayout, GapsOverlapsAndOrder) {
  std::vector<TimelineItem> items = {
      test::Movie("late.avi", 0, 10, 100, 110), test::Movie("first.avi", 0, 40, 20, 60),
      test::Slow("slow.avi", 10, 30, 50),       // overlaps first.avi by 10 recorder frames
      test::Movie("inside.avi", 0, 5, 70, 75),  // wholly under slow.avi
      test::Movie("empty.avi", 0, 0, 120, 120)};
  const auto pieces = LayOutTrack(items);
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(pieces[0].item, nullptr);
  EXPECT_EQ(pieces[0].Length(), 20);
  EXPECT_EQ(pieces[1].index, 1u);
  // The later item loses its head; at half speed 10 recorder frames are 5 source frames.
  EXPECT_EQ(pieces[2].index, 2u);
  EXPECT_EQ(pieces[2].recordIn, 60);
  EXPECT_EQ(pieces[2].sourceIn, 15);
  EXPECT_EQ(pieces[3].item, nullptr);
  EXPECT_EQ(pieces[3].Length(), 10);
  EXPECT_EQ(pieces[4].index, 0u);

  const auto audible = LayOutTrack(items, [](const TimelineItem& item) { return item.slow; });
  ASSERT_EQ(audible.size(), 2u);
  EXPECT_EQ(audible[0].Length(), 50);
}

TEST(TrackLayout, TransitionsNeedBothClipsSideBySide) {
  Timeline timeline = test::SampleTimeline();
  timeline.transitions.push_back(test::Effect(4, 'D', "Dissolve", 20, 335));  // no clip after
  auto pieces = LayOutTrack(timeline.main);
  AttachTransitions(pieces, timeline.transitions);
  EXPECT_EQ(pieces[1].transition, &timeline.transitions[0]);
  EXPECT_EQ(pieces[4].transitionLength, 10);
  int attached = 0;
  for (const TrackPiece& piece : pieces) attached += piece.transition != nullptr;
  EXPECT_EQ(attached, 2);

  // On the sound track of the main clips b.avi is missing: the dissolve has nothing to join.
  auto sound = LayOutTrack(timeline.main, CarriesAudio);
  AttachTransitions(sound, timeline.transitions);
  for (const TrackPiece& piece : sound) EXPECT_EQ(piece.transition, nullptr);
}

TEST(TrackLayout, NamesAreSplitAfterDecoding) {
  ExportSettings settings;
  // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
  settings.decode = [](std::string_view stored) {
    std::string text(stored);
    const auto at = text.find("\x95\x5C");
    if (at != std::string::npos) text.replace(at, 2, "\xE8\xA1\xA8");
    return text;
  };
  TimelineItem item = test::Movie("C:\\video\\\x95\x5C.avi", 0, 1, 0, 1);
  EXPECT_EQ(ItemName(item, settings), "\xE8\xA1\xA8.avi");
  item.kind = ItemKind::Colour;
  item.colour = 0x0A0B0C;
  EXPECT_EQ(ItemName(item, settings), "Colour #0A0B0C");
}

}  // namespace
}  // namespace pexol
