// tests/run/ProgressTest.cpp - every run makes its full count of steps and clears its status
#include <gtest/gtest.h>

#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::AsBytes;
using test::RecordingObserver;

struct Steps {
  int toText;
  int toProject;
};

Steps StepsOf(const build::Project& shape) {
  const std::string project = build::BuildProject(shape);
  const Software software = test::CoreSoftware(shape.software);
  RecordingObserver toText;
  ByteWriter text;
  ProjectToText(AsBytes(project), {software}, text, toText);
  EXPECT_EQ(toText.statuses.back(), "");
  RecordingObserver toProject;
  ByteWriter out;
  TextToProject(AsBytes(project), text.Bytes(), {software}, out, toProject);
  EXPECT_EQ(toProject.statuses.back(), "");
  EXPECT_EQ(toText.lastTotal, 200);
  return {toText.lastDone, toProject.lastDone};
}

TEST(ProgressTest, EveryPathMakesTheFullCount) {
  for (std::uint16_t version : {0x1FF, 0x200, 0x206, 0x207}) {
    for (build::Software software : {build::Software::CorvaneBrisko, build::Software::Lumetta}) {
      for (std::uint32_t seed = 0; seed < 8; ++seed) {
        const Steps steps = StepsOf(build::RandomProject(seed, version, software));
        EXPECT_EQ(steps.toText, 200) << version << " seed " << seed;
        // The text-to-project run's shares add up to one step less than its bar.
        EXPECT_EQ(steps.toProject, 199) << version << " seed " << seed;
      }
    }
  }
  build::Project empty;
  empty.version = 0x1FF;
  EXPECT_EQ(StepsOf(empty).toText, 200);
}

TEST(ProgressTest, StatusLinesCountRecords) {
  build::Project shape;
  for (int i = 0; i < 3; ++i) shape.main.push_back({"c.avi", 0, 9, 0, "", 0, 0, {}});
  shape.exAudio2.push_back({"a.wav", 0, 9, 0, 0, 0, {}});
  RecordingObserver observer;
  ByteWriter text;
  ProjectToText(AsBytes(build::BuildProject(shape)), {}, text, observer);
  const auto has = [&](const std::string& line) {
    return std::find(observer.statuses.begin(), observer.statuses.end(), line) !=
           observer.statuses.end();
  };
  EXPECT_TRUE(has("[MainAV] 3 / 3"));
  EXPECT_TRUE(has("[ExAudio] 1 / 1"));
  EXPECT_TRUE(has("[FilterMainAV] 2 / 3"));
  EXPECT_TRUE(has("[EDL] 3 / 3"));
}

}  // namespace
}  // namespace pexol
