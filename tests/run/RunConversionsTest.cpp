// tests/run/RunConversionsTest.cpp - whole runs on real files: messages, and nothing lost on
// failure
#include <gtest/gtest.h>

#include "run/RunConversions.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

class RunConversionsTest : public testing::Test {
 protected:
  void SetUp() override {
    project = build::BuildProject(build::DemoProject());
    Write("demo.mpj", project);
  }

  std::string Path(const std::string& name) const { return temp.Path(name); }
  void Write(const std::string& name, const std::string& bytes) const { temp.Write(name, bytes); }
  std::string Read(const std::string& name) const { return temp.Read(name); }
  // Only the files a test made itself: no temporary file is left behind.
  std::size_t FileCount() const { return temp.FileCount(); }

  test::TempFolder temp;
  std::string project;
  test::RecordingObserver observer;
};

TEST_F(RunConversionsTest, ConvertsBothWaysWithTheCompletionMessages) {
  const RunResult toText = RunProjectToText({Path("demo.mpj"), Path("demo.txt"), {}}, observer);
  ASSERT_TRUE(toText.Completed()) << toText.message;
  EXPECT_EQ(toText.message,
            "conversion completed\n\nfrom : " + Path("demo.mpj") + "\n   to : " + Path("demo.txt"));
  EXPECT_EQ(observer.lastDone, 200);
  EXPECT_EQ(observer.statuses.back(), "");

  const RunResult toProject =
      RunTextToProject({Path("demo.mpj"), Path("demo.txt"), Path("new.mpj"), {}}, observer);
  ASSERT_TRUE(toProject.Completed()) << toProject.message;
  EXPECT_EQ(toProject.message, "conversion completed\n\nfrom : " + Path("demo.mpj") + "\n      & " +
                                   Path("demo.txt") + "\n   to : " + Path("new.mpj"));
  EXPECT_EQ(Read("new.mpj"), project);
  EXPECT_EQ(FileCount(), 3u);
}

TEST_F(RunConversionsTest, AFailedRunLeavesTheDestinationAsItWas) {
  Write("out.txt", "precious");
  Write("cut.mpj", project.substr(0, project.size() / 2));
  const RunResult result = RunProjectToText({Path("cut.mpj"), Path("out.txt"), {}}, observer);
  EXPECT_FALSE(result.Completed());
  EXPECT_NE(result.message.find("the project ends too early, at byte"), std::string::npos)
      << result.message;
  EXPECT_NE(result.message.find("not written by \"Corvane, Brisko\""), std::string::npos);
  EXPECT_EQ(Read("out.txt"), "precious");
  EXPECT_EQ(FileCount(), 3u);
}

// A stop asked for in the middle of a run: the run ends at its next step, writes nothing.
TEST_F(RunConversionsTest, AStoppedRunLeavesTheDestinationAsItWas) {
  class StopAfter final : public RunObserver {
   public:
    void Status(std::string_view) override {}
    void Progress(int done, int) override { stop_ = done >= 60; }
    bool StopRequested() const override { return stop_; }

   private:
    bool stop_ = false;
  } stopping;
  Write("out.txt", "precious");
  const RunResult result = RunProjectToText(
      {Path("demo.mpj"), Path("out.txt"), {}, SoftwareChoice::Automatic()}, stopping);
  EXPECT_EQ(result.status, RunResult::Status::Stopped);
  EXPECT_TRUE(result.message.starts_with("run stopped")) << result.message;
  EXPECT_EQ(Read("out.txt"), "precious");
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(RunConversionsTest, TheWrongSoftwareIsToldAndTheRightOneSuggested) {
  const RunResult result = RunProjectToText(
      {Path("demo.mpj"), Path("out.txt"), {}, SoftwareChoice::Named(Software::Lumetta)}, observer);
  ASSERT_FALSE(result.Completed());
  EXPECT_NE(result.message.find("\"Corvane, Brisko\" reads it completely; choose that software."),
            std::string::npos)
      << result.message;
}

TEST_F(RunConversionsTest, BytesAfterTheProjectAreReported) {
  Write("tail.mpj", project + "xyz");
  const RunResult result = RunProjectToText({Path("tail.mpj"), Path("out.txt"), {}}, observer);
  ASSERT_TRUE(result.Completed());
  EXPECT_NE(result.message.find("3 bytes after the end of the project were left unread."),
            std::string::npos)
      << result.message;
}

TEST_F(RunConversionsTest, TheSourceProjectMayBeTheDestination) {
  ASSERT_TRUE(RunProjectToText({Path("demo.mpj"), Path("demo.txt"), {}}, observer).Completed());
  const RunResult result =
      RunTextToProject({Path("demo.mpj"), Path("demo.txt"), Path("demo.mpj"), {}}, observer);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(Read("demo.mpj"), project);
}

TEST_F(RunConversionsTest, AnInputIsNeverOverwrittenByItsOwnConversion) {
  RunResult result = RunProjectToText({Path("demo.mpj"), Path("demo.mpj"), {}}, observer);
  EXPECT_EQ(result.message.rfind("Can not open txt destination file", 0), 0u);
  ASSERT_TRUE(RunProjectToText({Path("demo.mpj"), Path("demo.txt"), {}}, observer).Completed());
  const std::string text = Read("demo.txt");
  result = RunTextToProject({Path("demo.mpj"), Path("demo.txt"), Path("demo.txt"), {}}, observer);
  EXPECT_EQ(result.message.rfind("Can not open mpj destination file", 0), 0u);
  EXPECT_EQ(Read("demo.mpj"), project);
  EXPECT_EQ(Read("demo.txt"), text);
}

TEST_F(RunConversionsTest, TheNullDeviceTakesEverything) {
  EXPECT_TRUE(RunProjectToText({Path("demo.mpj"), "NUL", {}}, observer).Completed());
  EXPECT_EQ(FileCount(), 1u);
}

}  // namespace
}  // namespace pexol
