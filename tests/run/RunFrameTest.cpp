// tests/run/RunFrameTest.cpp - a run's own reading plan, and what it did not foresee caught
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "convert/ConversionReadings.h"
#include "core/RunFailure.h"
#include "core/Translation.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

// A run the layers below know nothing of: its plan is written here, as a new command's would
// be in its own folder.
// clang-format off
constexpr ReadingPlan ownReading = {
    .sections = {{
      {SectionId::Header, {}, 0},
      {SectionId::MainAV, "[Own main]", 100},
      {SectionId::InsertAV, "[Own insert]", 50},
      {SectionId::ExAudio1, "[Own audio]", 0},
      {SectionId::ExAudio2, "[Own audio]", 0},
      {SectionId::Effect, "[Own effect]", 0},
      {SectionId::Title, "[Own title]", 0},
      {SectionId::FilterMainAV, "[Own filter]", 0},
      {SectionId::FilterInsertAV, "[Own filter]", 0},
      {SectionId::FilterExAudio1, "[Own filter]", 0},
      {SectionId::FilterExAudio2, "[Own filter]", 0},
      {SectionId::BinWindow, "[Own bin]", 0},
      {SectionId::Option, "[Own option]", 0},
      {SectionId::End, {}, 0},
    }},
    .afterReadingStatus = "[Own work]",
    .afterReadingShare = 50,
};
// clang-format on
static_assert(ownReading.InFileOrder() && ownReading.TotalSteps() == 200);

class RunFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    temp.Write("demo.mpj", build::BuildProject(build::DemoProject()));
    temp.Write("out.txt", "precious");
  }

  RunPlan Plan(const ReadingPlan& reading, const std::string& destination) const {
    return RunPlan::Writing(reading, temp.Path("demo.mpj"),
                            SoftwareChoice::Named(Software::CorvaneBrisko),
                            destination.empty() ? std::string() : temp.Path(destination),
                            cannotOpenTextDestination, "it is the project");
  }

  test::TempFolder temp;
  test::RecordingObserver observer;
};

TEST_F(RunFrameTest, ARunReadsWithItsOwnPlanAndTakesItsShareAfter) {
  const RunResult done = RunOnProject(
      Plan(ownReading, "out.txt"),
      [](const RunInput&) {
        return RunOutput{"made", {}, "done"};
      },
      observer);
  ASSERT_TRUE(done.Completed()) << done.message;
  EXPECT_EQ(temp.Read("out.txt"), "made");
  EXPECT_EQ(observer.lastDone, 200);
  const auto saw = [this](const std::string& start) {
    return std::any_of(observer.statuses.begin(), observer.statuses.end(),
                       [&start](const std::string& line) { return line.starts_with(start); });
  };
  EXPECT_TRUE(saw("[Own main] 1 / "));
  EXPECT_TRUE(saw("[Own insert] 1 / "));
  EXPECT_TRUE(saw("[Own work]"));
  EXPECT_FALSE(saw("[MainAV]"));
  EXPECT_EQ(observer.statuses.back(), "");

  // The conversions' plans end where they always have: to-project one step short of the bar.
  test::RecordingObserver toProject;
  ASSERT_TRUE(RunOnProject(
                  Plan(toProjectReading, "p.mpj"),
                  [](const RunInput&) {
                    return RunOutput{"p", {}, "done"};
                  },
                  toProject)
                  .Completed());
  EXPECT_EQ(toProject.lastDone, 199);
}

// A writer giving up (libxml2's does so with std::runtime_error) ends the run as a failure
// that names the destination; the destination keeps its bytes and no temporary file stays.
TEST_F(RunFrameTest, AWriterThatGivesUpFailsTheRunAndWritesNothing) {
  const RunResult failed = RunOnProject(
      Plan(toTextReading, "out.txt"),
      [](const RunInput& input) -> RunOutput {
        input.progress.Step(10);
        throw std::runtime_error("XML writer failed: start");
      },
      observer);
  EXPECT_EQ(failed.status, RunResult::Status::Failed);
  EXPECT_EQ(failed.message, "\"" + temp.Path("out.txt") +
                                "\": the run failed: XML writer failed: start. Nothing was "
                                "written; every destination was left as it was.");
  EXPECT_EQ(observer.statuses.back(), "");
  EXPECT_EQ(temp.Read("out.txt"), "precious");
  EXPECT_EQ(temp.FileCount(), 2u);

  // A body that writes the temporary file by name (as an encoder does) leaves nothing either.
  const RunResult byName = RunOnProject(
      Plan(toTextReading, "out.txt"),
      [](const RunInput& input) -> RunOutput {
        std::ofstream(input.temporaryPath, std::ios::binary) << "half a file";
        throw std::length_error("vector");
      },
      observer);
  EXPECT_FALSE(byName.Completed());
  EXPECT_EQ(temp.Read("out.txt"), "precious");
  EXPECT_EQ(temp.FileCount(), 2u);
}

TEST_F(RunFrameTest, WithNoDestinationTheProjectIsNamed) {
  RunPlan plan = Plan(toTextReading, "");
  plan.mayWriteNothing = true;
  const RunResult failed = RunOnProject(
      plan, [](const RunInput&) -> RunOutput { throw std::runtime_error("digest"); }, observer);
  EXPECT_TRUE(failed.message.starts_with("\"" + temp.Path("demo.mpj") + "\": the run failed"))
      << failed.message;
}

// What a run does before and after the frame is caught as well; a failure thrown on purpose
// (a stop) still reaches the caller that asked for it.
TEST_F(RunFrameTest, AnEntryCatchesWhatItsWorkAroundTheFrameThrows) {
  const RunResult failed = CatchUnforeseen("a.mpj", observer, []() -> RunResult {
    throw std::filesystem::filesystem_error("cannot list", std::error_code());
  });
  EXPECT_FALSE(failed.Completed());
  EXPECT_TRUE(failed.message.starts_with("\"a.mpj\": the run failed: ")) << failed.message;
  EXPECT_EQ(observer.statuses.back(), "");
  EXPECT_THROW(CatchUnforeseen("a.mpj", observer, []() -> RunResult { throw RunStopped(); }),
               RunStopped);
}

// Under the Japanese catalogue a failed run says a whole Japanese sentence around the file's
// name and where the project ended; with no catalogue the same run says it in English again.
TEST_F(RunFrameTest, AFailedRunSpeaksTheChosenLanguage) {
  const std::string project = temp.Read("demo.mpj");
  temp.Write("cut.mpj", project.substr(0, project.size() / 2));
  RunPlan plan = Plan(toTextReading, "out.txt");
  plan.source = temp.Path("cut.mpj");
  const auto body = [](const RunInput&) { return RunOutput{}; };

  auto japanese = FindCatalogue("ja", std::filesystem::path(PEXOL_LOCALE_DIR).parent_path());
  ASSERT_TRUE(japanese) << "no Japanese catalogue in " << PEXOL_LOCALE_DIR;
  UseCatalogue(std::move(japanese));
  const RunResult inJapanese = RunOnProject(plan, body, observer);
  UseCatalogue(std::nullopt);
  EXPECT_TRUE(inJapanese.message.starts_with("「" + temp.Path("cut.mpj") + "」: "))
      << inJapanese.message;
  EXPECT_NE(inJapanese.message.find("の読み込み中、プロジェクトが "), std::string::npos)
      << inJapanese.message;
  EXPECT_EQ(inJapanese.message.find("the project"), std::string::npos) << inJapanese.message;

  const RunResult inEnglish = RunOnProject(plan, body, observer);
  EXPECT_TRUE(inEnglish.message.starts_with("\"" + temp.Path("cut.mpj") +
                                            "\": the project ends too early, at byte "))
      << inEnglish.message;
  EXPECT_EQ(temp.Read("out.txt"), "precious");
}

}  // namespace
}  // namespace pexol
