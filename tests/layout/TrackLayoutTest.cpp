// tests/layout/TrackLayoutTest.cpp - recorder order, overlaps, transitions and names
#include <gtest/gtest.h>

#include <algorithm>

#include "layout/ExportTimeline.h"
#include "layout/TrackLayout.h"
#include "support/Timelines.h"

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

TEST(TrackLayout, NegativeInPointsStartTheMediaAtItsFirstFrame) {
  const std::vector<TimelineItem> items = {
      test::Movie("a.avi", -5, 55, 0, 60), test::Slow("s.avi", -3, 10, 100),
      test::Movie("gone.avi", -50, 10, 200, 260), test::Movie("never.avi", -90, 10, 300, 360)};
  ExportNotes notes;
  const ExportSettings settings;
  const NoteTaker said{notes, settings};
  const auto pieces = LayOutTrack(items, {}, &said);
  ASSERT_EQ(pieces.size(), 6u);
  EXPECT_EQ(pieces[0].Length(), 5);
  EXPECT_EQ(pieces[1].recordIn, 5);
  EXPECT_EQ(pieces[1].sourceIn, 0);
  EXPECT_EQ(pieces[1].recordOut, 60);
  // At half speed three source frames are six recorder frames.
  EXPECT_EQ(pieces[3].recordIn, 106);
  EXPECT_EQ(pieces[3].sourceIn, 0);
  EXPECT_EQ(pieces[5].recordIn, 250);
  EXPECT_EQ(pieces[5].sourceIn, 0);
  // A clip whose media would start only after it ends is left out, and said to be.
  const std::vector<ExportNote> listed = notes.List();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].kind, NoteKind::ClipsLeftOut);
  ASSERT_EQ(listed[0].count, 1u);
  EXPECT_EQ(listed[0].clips[0].name, "never.avi");
  EXPECT_EQ(listed[1].kind, NoteKind::InBeforeMedia);
  EXPECT_EQ(listed[1].count, 3u);
  ASSERT_EQ(listed[1].clips.size(), 3u);
  EXPECT_EQ(listed[1].clips[0].name, "a.avi");
  EXPECT_EQ(listed[1].clips[2].record, 200);
}

TEST(TrackLayout, TransitionsThatCannotStandAreNamed) {
  Timeline timeline = test::SampleTimeline();
  timeline.transitions.push_back(test::Effect(4, 'D', "Dissolve", 20, 335));  // no clip after
  timeline.transitions[1].length = 31;  // longer than the still it leads into
  ExportNotes notes;
  const ExportSettings settings;
  const NoteTaker said{notes, settings};
  auto pieces = LayOutTrack(timeline.main);
  AttachTransitions(pieces, timeline.transitions, &said);
  EXPECT_EQ(pieces[4].transition, nullptr);
  const std::vector<ExportNote> listed = notes.List();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].kind, NoteKind::TransitionsLeftOut);
  ASSERT_EQ(listed[0].clips.size(), 2u);
  EXPECT_EQ(listed[0].clips[0].name, "Wipe");
  EXPECT_EQ(listed[0].clips[0].record, 305);
  EXPECT_EQ(listed[0].clips[1].name, "Dissolve");
}

TEST(TrackLayout, LevelsBecomeAGainEnvelope) {
  EXPECT_EQ(GainDb(0), std::nullopt);
  EXPECT_DOUBLE_EQ(*GainDb(100), 0);
  EXPECT_NEAR(*GainDb(50), -6.02, 0.01);
  EXPECT_NEAR(*GainDb(65535), 6.02, 0.01);
  TimelineItem item = test::Movie("m.wav", 0, 100, 0, 100, true);
  item.levels = {100, 300, {{50, 80}, {-10, 90}, {500, 100}}};
  const auto envelope = GainEnvelope(item, 100);
  ASSERT_EQ(envelope.size(), 3u);
  EXPECT_EQ(envelope[0].frame, 0);
  EXPECT_EQ(envelope[0].level, 90);  // a point before the first frame holds from it
  EXPECT_EQ(envelope[1].frame, 50);
  EXPECT_EQ(envelope[2].frame, 99);
  EXPECT_EQ(envelope[2].level, 200);
  EXPECT_TRUE(LevelsAbove200(item));
  item.levels = {100, 100, {{50, 100}}};
  EXPECT_FALSE(LevelsAbove200(item));
  EXPECT_TRUE(GainEnvelope(item, 100).empty());
}

// A fade from 200 to 0 as a reader in dB plays its keyframes (silence at -90 dB): within 1 dB
// of the project's straight line in amplitude at every frame, the project's points kept; a
// piece whose head is cut off starts at the level on the way.
TEST(TrackLayout, GainKeyframesHoldTheLevelsWithinADecibel) {
  const std::vector<GainPoint> envelope = {{0, 100}, {20, 200}, {220, 0}, {300, 60}};
  EXPECT_EQ(GainKeyframes(envelope, GainInterpolation::Amplitude).size(), envelope.size());
  const std::vector<GainPoint> keyframes = GainKeyframes(envelope, GainInterpolation::Decibels);
  EXPECT_LT(keyframes.size(), 40u);
  for (const GainPoint& point : envelope)
    EXPECT_TRUE(std::any_of(keyframes.begin(), keyframes.end(), [&](const GainPoint& key) {
      return key.frame == point.frame && key.level == point.level;
    })) << point.frame.Value();
  const auto db = [](double level) { return GainDb(level).value_or(-90); };
  std::size_t next = 1;
  for (int frame = 0; frame <= 300; ++frame) {
    while (keyframes[next].frame < frame) ++next;
    const GainPoint& before = keyframes[next - 1];
    const GainPoint& after = keyframes[next];
    const double part = double((Frames(frame) - before.frame).Value()) /
                        double((after.frame - before.frame).Value());
    const double played = db(before.level) + (db(after.level) - db(before.level)) * part;
    if (LevelAt(envelope, frame) > 0) {
      EXPECT_NEAR(played, db(LevelAt(envelope, frame)), 1) << frame;
    }
  }
  EXPECT_DOUBLE_EQ(LevelAt(envelope, 120), 100);

  Timeline timeline;
  TimelineItem fade = test::Movie("m.wav", 0, 100, 30, 130, true);
  fade.levels = {200, 0, {}};
  timeline.exAudio[0] = {test::Movie("m.wav", 0, 50, 0, 50, true), fade};
  LayoutRules rules;
  rules.roles = {TrackRole::ExtraAudio1};
  const ExportTimeline layout = LayOutTimeline(timeline, rules);
  const ExportPiece& cut = layout.Track(TrackRole::ExtraAudio1)->pieces[1];
  ASSERT_EQ(cut.recordIn, 50);
  EXPECT_EQ(cut.pieceGain.front().frame, 0);
  EXPECT_DOUBLE_EQ(cut.pieceGain.front().level, LevelAt(cut.gain, 20));
  EXPECT_NEAR(cut.pieceGain.front().level, 200 * (1 - 20 / 99.0), 1e-9);
}

TEST(TrackLayout, ShownTextsHoldNoControlCharacters) {
  EXPECT_EQ(CleanText("a\r\nb\rc\nd\t\x01"
                      "e\x7F\r\n"),
            "a\nb\nc\nde");
  TimelineItem title = test::Of(ItemKind::Title, 0, 150);
  title.texts = {{"Happy\r\nBirthday\r\n", "F", 24, false},
                 {"e.jpg\r\n", "", 0, true},
                 {"\r\n", "F", 24, false},
                 {"Party", "F", 24, false}};
  EXPECT_EQ(TitleCaption(title, {}), "Happy\nBirthday\nParty");
  EXPECT_EQ(ItemName(title, {}), "Happy");
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
