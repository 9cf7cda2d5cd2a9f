// tests/edl/EdlEventsTest.cpp - event order, numbering and values built from track entries
#include "edl/EdlEvents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "EdlTestEntries.h"

namespace pexol {
namespace {

using test::AudioClip;
using test::InsertClip;
using test::MainTrack;
using test::MovieClip;
using testing::ElementsAre;

// "number track media[S] transition length sourceIn sourceOut recorderIn recorderOut name"
std::string Describe(const EdlEvent& e) {
  static const char* const tracks[] = {"Main", "Ins", "ExA1", "ExA2"};
  std::string text = std::to_string(e.number) + ' ' + tracks[static_cast<int>(e.track)] + ' ';
  text += e.media;
  if (e.slow) text += 'S';
  text += ' ';
  text += e.transition;
  for (std::int32_t value :
       {e.transitionLength, e.sourceIn, e.sourceOut, e.recorderIn, e.recorderOut}) {
    text += ' ' + std::to_string(value);
  }
  text += e.clipName ? ' ' + std::string(*e.clipName) : std::string(" -");
  return text;
}

std::vector<std::string> Events(const TrackEntries& entries) {
  std::vector<std::string> lines;
  BuildEdlEvents(entries, [&](const EdlEvent& e) { lines.push_back(Describe(e)); });
  return lines;
}

TEST(BuildEdlEvents, SingleClipIsOneCut) {
  EXPECT_THAT(Events(MainTrack({MovieClip("a.avi", 100, 199, 1)})),
              ElementsAre("1 Main VA C 0 100 200 0 100 a.avi"));
}

TEST(BuildEdlEvents, TransitionSharesTheOutgoingClipsNumber) {
  MainTrackEntry a = MovieClip("a", 0, 99);
  a.length = 70;  // the effect takes 30 frames off clip a
  MainTrackEntry b = MovieClip("b", 0, 49);
  b.transition = "Dissolve";
  EXPECT_THAT(Events(MainTrack({a, b})),
              ElementsAre("1 Main V C 0 0 70 0 70 a", "1 Main V D 30 0 50 70 120 b"));
}

TEST(BuildEdlEvents, BackToBackTransitionsOpenAZeroLengthCut) {
  MainTrackEntry a = MovieClip("a", 0, 99);
  a.length = 90;
  MainTrackEntry b = MovieClip("b", 0, 99);
  b.length = 80;
  b.transition = "Dissolve";
  MainTrackEntry c = MovieClip("c", 0, 99);
  c.transition = "Wipe";
  // A transition named on the last clip opens one more cut at the very end.
  EXPECT_THAT(Events(MainTrack({a, b, c}, "Wipe")),
              ElementsAre("1 Main V C 0 0 90 0 90 a", "1 Main V D 10 0 80 90 170 b",
                          "2 Main V C 0 80 80 170 170 -", "2 Main V W 20 0 100 170 270 c",
                          "3 Main V C 0 100 100 270 270 -"));
}

TEST(BuildEdlEvents, EmptyEffectNameStillHandsOnItsLength) {
  MainTrackEntry a = MovieClip("a", 0, 99);
  a.length = 70;
  EXPECT_THAT(Events(MainTrack({a, MovieClip("b", 0, 9)})),
              ElementsAre("1 Main V C 0 0 70 0 70 a", "2 Main V C 30 0 10 70 80 b"));
}

TEST(TransitionCode, OnlyTheFourStoredDissolveNamesAreDissolves) {
  EXPECT_EQ(TransitionCode(""), 'C');
  EXPECT_EQ(TransitionCode("Dissolve"), 'D');
  EXPECT_EQ(TransitionCode("Basic - Dissolve"), 'D');
  EXPECT_EQ(TransitionCode("\x83\x66\x83\x42\x83\x5D\x83\x8B\x83\x75"), 'D');
  EXPECT_EQ(TransitionCode("Basic - \xC3\xDE\xA8\xBF\xDE\xD9\xCC\xDE"), 'D');
  EXPECT_EQ(TransitionCode("dissolve"), 'W');
  EXPECT_EQ(TransitionCode("Dissolve "), 'W');
  EXPECT_EQ(TransitionCode("Basic - Dissolve "), 'W');
  EXPECT_EQ(TransitionCode("\xC3\xDE\xA8\xBF\xDE\xD9\xCC\xDE"), 'W');
  EXPECT_EQ(TransitionCode("\x83\x66\x83\x42\x83\x5D\x83\x8B\x83"), 'W');
  EXPECT_EQ(TransitionCode("Wipe"), 'W');
}

TEST(BuildEdlEvents, SlowClipsPlayTwiceTheirSpanWithoutAudio) {
  MainTrackEntry slow = MovieClip("s", 0, 99, 1);
  slow.slow = 1;
  MainTrackEntry shortened = MovieClip("t", 0, 99, 1);
  shortened.length = 70;
  shortened.slow = 7;
  MainTrackEntry next = MovieClip("u", 0, 9, 1);
  next.transition = "Dissolve";
  InsertTrackEntry early = InsertClip("i", 0, 50, 0, 1);
  early.slow = 1;
  InsertTrackEntry late = InsertClip("j", 0, 50, 500, 1);
  late.slow = 1;
  TrackEntries entries = MainTrack({slow, shortened, next});
  entries.insert = {early, late};
  EXPECT_THAT(Events(entries),
              ElementsAre("1 Main VS C 0 0 100 0 200 s", "2 Ins VS C 0 0 50 0 100 i",
                          "3 Main VS C 0 0 70 200 370 t", "3 Main VA D 30 0 10 370 380 u",
                          "4 Ins VS C 0 0 50 500 600 j"));
  // Listed inside the main loop once the main track reaches its recorder out.
  entries.main[2] = MovieClip("u", 0, 999);
  EXPECT_THAT(Events(entries),
              ElementsAre("1 Main VS C 0 0 100 0 200 s", "2 Ins VS C 0 0 50 0 100 i",
                          "3 Main VS C 0 0 70 200 370 t", "4 Main V C 30 0 1000 370 1370 u",
                          "5 Ins VS C 0 0 50 500 600 j"));
}

TEST(BuildEdlEvents, OtherTracksFollowTheMainClipAtWhoseEndTheyHaveEnded) {
  MainTrackEntry c = MovieClip("c", 0, 99);
  c.transition = "Wipe";
  TrackEntries entries = MainTrack({MovieClip("a", 0, 99), MovieClip("b", 0, 99), c});
  entries.insert = {InsertClip("in100", 0, 60, 40), InsertClip("in101", 0, 61, 40),
                    InsertClip("blocked", 0, 10, 0)};
  entries.exAudio[0] = {AudioClip("ex50", 0, 50, 0)};
  entries.exAudio[1] = {AudioClip("ex1000", 0, 1000, 0), AudioClip("ex0", 0, 0, 0)};
  // in101 would follow b, but nothing may stand between b and its wipe into c; "blocked" waits
  // behind in101 although it ended long before.
  EXPECT_THAT(Events(entries),
              ElementsAre("1 Main V C 0 0 100 0 100 a", "2 Ins V C 0 0 60 40 100 in100",
                          "3 ExA1 A C 0 0 50 0 50 ex50", "4 Main V C 0 0 100 100 200 b",
                          "4 Main V W 0 0 100 200 300 c", "5 Ins V C 0 0 61 40 101 in101",
                          "6 Ins V C 0 0 10 0 10 blocked", "7 ExA2 A C 0 0 1000 0 1000 ex1000",
                          "8 ExA2 A C 0 0 0 0 0 ex0"));
}

TEST(BuildEdlEvents, WithoutMainClipsListsEachTrackInTurn) {
  TrackEntries entries;
  entries.insert = {InsertClip("i1", 0, 900, 5000), InsertClip("i2", 0, 10, 0)};
  entries.exAudio[0] = {AudioClip("a1", 0, 10, 0)};
  entries.exAudio[1] = {AudioClip("b1", 0, 10, 0)};
  int mainDone = 0;
  std::vector<int> numbers;
  BuildEdlEvents(
      entries, [&](const EdlEvent& e) { numbers.push_back(e.number); }, [&](int) { ++mainDone; });
  EXPECT_THAT(numbers, ElementsAre(1, 2, 3, 4));
  EXPECT_EQ(mainDone, 0);
  entries.main.emplace_back();  // the trailing entry alone
  EXPECT_THAT(Events(entries),
              ElementsAre("1 Ins V C 0 0 900 5000 5900 i1", "2 Ins V C 0 0 10 0 10 i2",
                          "3 ExA1 A C 0 0 10 0 10 a1", "4 ExA2 A C 0 0 10 0 10 b1"));
}

TEST(BuildEdlEvents, ReportsEachMainClipAfterItsListedClips) {
  TrackEntries entries = MainTrack({MovieClip("a", 0, 9), MovieClip("b", 0, 9)});
  entries.insert = {InsertClip("i", 0, 5, 0), InsertClip("late", 0, 5, 100)};
  std::vector<std::string> log;
  BuildEdlEvents(
      entries, [&](const EdlEvent& e) { log.emplace_back(*e.clipName); },
      [&](int i) { log.push_back("done " + std::to_string(i)); });
  EXPECT_THAT(log, ElementsAre("a", "i", "done 0", "b", "done 1", "late"));
}

TEST(BuildEdlEvents, ExtremeValuesWrapAtThirtyTwoBits) {
  constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t small = std::numeric_limits<std::int32_t>::min();
  MainTrackEntry a;
  a.name = "a";
  a.in = big;
  a.length = big;
  a.outEnd = small;
  a.slow = 1;
  MainTrackEntry b;
  b.name = "b";
  b.in = small;
  b.length = small;
  b.outEnd = big;
  TrackEntries entries = MainTrack({a, b});
  InsertTrackEntry insert = InsertClip("i", small, big, big);
  insert.slow = 1;
  entries.insert = {insert};
  entries.exAudio[0] = {AudioClip("x", small, big, big)};
  // span(a) = min - max = 1 after wrapping; recorder length(a) = max + 1 = min.
  EXPECT_THAT(Events(entries),
              ElementsAre("1 Main VS C 0 2147483647 -2 0 -2147483648 a",
                          "2 Main V C -2147483646 -2147483648 0 -2147483648 0 b",
                          "3 Ins VS C 0 -2147483648 2147483647 2147483647 2147483645 i",
                          "4 ExA1 A C 0 -2147483648 2147483647 2147483647 2147483646 x"));
}

}  // namespace
}  // namespace pexol
