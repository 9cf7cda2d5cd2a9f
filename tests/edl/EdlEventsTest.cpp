// tests/edl/EdlEventsTest.cpp - event order, numbering and values built from track entries
#include "edl/EdlEvents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "EdlTestProjects.h"

namespace pexol {
namespace {

using test::EdlProject;
using testing::ElementsAre;

// "number track media[S] transition length sourceIn sourceOut recorderIn recorderOut name"
std::string Describe(const EdlEvent& e) {
  static const char* const tracks[] = {"Main", "Ins", "ExA1", "ExA2"};
  std::string text = std::to_string(e.number) + ' ' + tracks[static_cast<int>(e.track)] + ' ';
  text += e.media;
  if (e.slow) text += 'S';
  text += ' ';
  text += e.transition;
  for (Frames value : {e.transitionLength, e.sourceIn, e.sourceOut, e.recorderIn, e.recorderOut}) {
    text += ' ' + std::to_string(value.Value());
  }
  text += e.clipName ? ' ' + std::string(*e.clipName) : std::string(" -");
  return text;
}

std::vector<std::string> Events(const EdlProject& project) {
  std::vector<std::string> lines;
  BuildEdlEvents(project.BuildTimeline(), [&](const EdlEvent& e) { lines.push_back(Describe(e)); });
  return lines;
}

TEST(BuildEdlEvents, SingleClipIsOneCut) {
  EXPECT_THAT(Events(EdlProject().Main("a.avi", 100, 199, true)),
              ElementsAre("1 Main VA C 0 100 200 0 100 a.avi"));
}

TEST(BuildEdlEvents, TransitionSharesTheOutgoingClipsNumber) {
  EdlProject project;
  project.Main("a", 0, 99).Main("b", 0, 49);
  project.Effect(0, 70, "Dissolve");  // the effect takes 30 frames off clip a
  EXPECT_THAT(Events(project),
              ElementsAre("1 Main V C 0 0 70 0 70 a", "1 Main V D 30 0 50 70 120 b"));
}

TEST(BuildEdlEvents, BackToBackTransitionsOpenAZeroLengthCut) {
  EdlProject project;
  project.Main("a", 0, 99).Main("b", 0, 99).Main("c", 0, 99);
  project.Effect(0, 90, "Dissolve").Effect(1, 80, "Wipe");
  // A transition named on the last clip opens one more cut at the very end.
  project.Effect(2, 100, "Wipe");
  EXPECT_THAT(Events(project),
              ElementsAre("1 Main V C 0 0 90 0 90 a", "1 Main V D 10 0 80 90 170 b",
                          "2 Main V C 0 80 80 170 170 -", "2 Main V W 20 0 100 170 270 c",
                          "3 Main V C 0 100 100 270 270 -"));
}

TEST(BuildEdlEvents, EmptyEffectNameStillHandsOnItsLength) {
  EdlProject project;
  project.Main("a", 0, 99).Main("b", 0, 9).Effect(0, 70);
  EXPECT_THAT(Events(project),
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
  const auto withInserts = [](EdlProject project) {
    return project.Insert("i", 0, 49, 0, true, 1).Insert("j", 0, 49, 500, true, 1);
  };
  EdlProject project;
  project.Main("s", 0, 99, true, 1).Main("t", 0, 99, true, 7).Main("u", 0, 9, true);
  project.Effect(1, 70, "Dissolve");
  EXPECT_THAT(Events(withInserts(project)),
              ElementsAre("1 Main VS C 0 0 100 0 200 s", "2 Ins VS C 0 0 50 0 100 i",
                          "3 Main VS C 0 0 70 200 370 t", "3 Main VA D 30 0 10 370 380 u",
                          "4 Ins VS C 0 0 50 500 600 j"));
  // Listed inside the main loop once the main track reaches its recorder out.
  EdlProject longer;
  longer.Main("s", 0, 99, true, 1).Main("t", 0, 99, true, 7).Main("u", 0, 999).Effect(1, 70);
  EXPECT_THAT(Events(withInserts(longer)),
              ElementsAre("1 Main VS C 0 0 100 0 200 s", "2 Ins VS C 0 0 50 0 100 i",
                          "3 Main VS C 0 0 70 200 370 t", "4 Main V C 30 0 1000 370 1370 u",
                          "5 Ins VS C 0 0 50 500 600 j"));
}

TEST(BuildEdlEvents, OtherTracksFollowTheMainClipAtWhoseEndTheyHaveEnded) {
  EdlProject project;
  project.Main("a", 0, 99).Main("b", 0, 99).Main("c", 0, 99).Effect(1, 100, "Wipe");
  project.Insert("in100", 0, 59, 40).Insert("in101", 0, 60, 40).Insert("blocked", 0, 9, 0);
  project.Audio(0, "ex50", 0, 49, 0);
  project.Audio(1, "ex1000", 0, 999, 0).Audio(1, "ex0", 0, -1, 0);
  // in101 would follow b, but nothing may stand between b and its wipe into c; "blocked" waits
  // behind in101 although it ended long before.
  EXPECT_THAT(Events(project),
              ElementsAre("1 Main V C 0 0 100 0 100 a", "2 Ins V C 0 0 60 40 100 in100",
                          "3 ExA1 A C 0 0 50 0 50 ex50", "4 Main V C 0 0 100 100 200 b",
                          "4 Main V W 0 0 100 200 300 c", "5 Ins V C 0 0 61 40 101 in101",
                          "6 Ins V C 0 0 10 0 10 blocked", "7 ExA2 A C 0 0 1000 0 1000 ex1000",
                          "8 ExA2 A C 0 0 0 0 0 ex0"));
}

TEST(BuildEdlEvents, WithoutMainClipsListsEachTrackInTurn) {
  EdlProject project;
  project.Insert("i1", 0, 899, 5000).Insert("i2", 0, 9, 0);
  project.Audio(0, "a1", 0, 9, 0).Audio(1, "b1", 0, 9, 0);
  int mainDone = 0;
  std::vector<int> numbers;
  BuildEdlEvents(
      project.BuildTimeline(), [&](const EdlEvent& e) { numbers.push_back(e.number); },
      [&](int) { ++mainDone; });
  EXPECT_THAT(numbers, ElementsAre(1, 2, 3, 4));
  EXPECT_EQ(mainDone, 0);
  // An effect on a main clip that is not there changes nothing.
  project.Effect(0, 10, "Wipe");
  EXPECT_THAT(Events(project),
              ElementsAre("1 Ins V C 0 0 900 5000 5900 i1", "2 Ins V C 0 0 10 0 10 i2",
                          "3 ExA1 A C 0 0 10 0 10 a1", "4 ExA2 A C 0 0 10 0 10 b1"));
}

TEST(BuildEdlEvents, ReportsEachMainClipAfterItsListedClips) {
  EdlProject project;
  project.Main("a", 0, 9).Main("b", 0, 9).Insert("i", 0, 4, 0).Insert("late", 0, 4, 100);
  std::vector<std::string> log;
  BuildEdlEvents(
      project.BuildTimeline(), [&](const EdlEvent& e) { log.emplace_back(*e.clipName); },
      [&](int i) { log.push_back("done " + std::to_string(i)); });
  EXPECT_THAT(log, ElementsAre("a", "i", "done 0", "b", "done 1", "late"));
}

TEST(BuildEdlEvents, ExtremeValuesWrapAtThirtyTwoBits) {
  constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t small = std::numeric_limits<std::int32_t>::min();
  EdlProject project;
  project.Main("a", big, big, false, 1).Main("b", small, big - 1);
  project.Effect(0, big).Effect(1, small);
  project.Insert("i", small, big - 1, big, false, 1).Audio(0, "x", small, big - 1, big);
  // span(a) = min - max = 1 after wrapping; recorder length(a) = max + 1 = min.
  EXPECT_THAT(Events(project),
              ElementsAre("1 Main VS C 0 2147483647 -2 0 -2147483648 a",
                          "2 Main V C -2147483646 -2147483648 0 -2147483648 0 b",
                          "3 Ins VS C 0 -2147483648 2147483647 2147483647 2147483645 i",
                          "4 ExA1 A C 0 -2147483648 2147483647 2147483647 2147483646 x"));
}

}  // namespace
}  // namespace pexol
