// tests/batch/BatchPartsTest.cpp - the batch's pieces on real folders: which projects it finds
// and where their outputs go, and command lines a shell reads back as given
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "batch/BatchJob.h"
#include "batch/JobResult.h"
#include "batch/ProjectFinder.h"
#include "run/ProcessPool.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

TEST(BatchPartsTest, FindsProjectsInAnyCaseOnceThroughLinksAndKeepsClashingNamesApart) {
  const test::TempFolder folder;
  fs::create_directories(folder.Folder() / "a/deep");
  folder.Write("a/edit.mpj", "");
  folder.Write("a/edit.MPJ", "");
  folder.Write("a/deep/Cut.Mpj", "");
  folder.Write("a/deep/cut.mpj.txt", "");
  fs::create_directory_symlink(folder.Folder() / "a", folder.Folder() / "a/deep/loop");
  std::string error;
  const auto found = FindProjects({folder.Path("a")}, error);
  ASSERT_TRUE(found) << error;
  std::vector<std::string> into;
  for (const BatchProject& project : *found) into.push_back(project.into);
  EXPECT_EQ(into, (std::vector<std::string>{"deep/Cut", "edit.MPJ", "edit.mpj"}));

  // Several folders: each one's projects under its name; a missing one is refused.
  fs::create_directories(folder.Folder() / "b");
  folder.Write("b/edit.mpj", "");
  const auto both = FindProjects({folder.Path("a"), folder.Path("b") + "/"}, error);
  ASSERT_TRUE(both) << error;
  EXPECT_EQ(both->back().into, "b/edit");
  EXPECT_FALSE(FindProjects({folder.Path("none")}, error));
  EXPECT_NE(error.find("none"), std::string::npos);
}

TEST(BatchPartsTest, JobLinesReadBackByAShellAsTheyWereGiven) {
  const test::TempFolder folder;
  const std::vector<std::string> arguments = {"printf", "[%s]\\n", "it's",  "two words",     "",
                                              "$HOME",  "a\\b",    "--map", "C:\\Video=/x y"};
  const test::CliOutcome printed =
      test::RunCli("sh", folder, "-c " + ShellLine({ShellLine(arguments)}));
  EXPECT_EQ(printed.out, "[it's]\n[two words]\n[]\n[$HOME]\n[a\\b]\n[--map]\n[C:\\Video=/x y]\n")
      << printed.err;

  BatchOptions options;
  options.out = "out";
  options.maps = {"C:\\Video=media"};
  options.searchFolders = {"footage"};
  const BatchOptions absolute = SelfContained(options);
  EXPECT_EQ(absolute.out, (fs::current_path() / "out").string());
  EXPECT_EQ(absolute.maps[0], "C:\\Video=" + (fs::current_path() / "media").string());
  EXPECT_EQ(absolute.searchFolders[0], (fs::current_path() / "footage").string());
}

// Two pools side by side (the window reads its media's facts and posters at once) and a child
// started outside both (the window's render): each sees how its own children ended.
TEST(BatchPartsTest, PoolsSideBySideEachSeeTheirOwnChildrenEnd) {
  const pid_t foreign = ::fork();
  ASSERT_GE(foreign, 0);
  if (foreign == 0) {
    ::usleep(300000);
    ::_exit(7);
  }
  const auto exitOf = [](const std::string& script) {
    int code = -2;
    const PoolCalls calls{[&code](std::size_t, const ChildEnd& end) { code = end.exitCode; },
                          [] { return false; },
                          {},
                          {}};
    RunInPool({{"sh", "-c", script}}, 1, calls);
    return code;
  };
  int slow = -2;
  std::thread other([&] { slow = exitOf("sleep 0.4; exit 3"); });
  EXPECT_EQ(exitOf("exit 5"), 5);
  EXPECT_EQ(exitOf("sleep 0.2; exit 6"), 6);
  other.join();
  EXPECT_EQ(slow, 3);
  int status = 0;
  ASSERT_EQ(::waitpid(foreign, &status, 0), foreign);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
}

// Archives keep result files of earlier versions, whose warnings were texts with what gave
// them in front and which had no removed outputs; JobIsDone and the report read them still.
TEST(BatchPartsTest, ResultFilesOfEarlierVersionsReadWithTheirWarningsGrouped) {
  const std::string earlier = R"({"project": "/a/edit.mpj", "into": "edit", "status": "missing",
    "software": "Corvane, Brisko", "clips": 2, "frames": 90, "length": "00:00:03;00",
    "missing": ["clip.avi"], "outputs": ["edit/edit.otio", "edit/edit.svg"],
    "picture": "edit/edit.svg", "failures": [], "options": "--format otio --format mlt",
    "warnings": ["export otio: late", "export mlt: late", "text: odd", "note: kept whole",
                 "export nothing: kept whole too"]})";
  std::string error;
  const auto result = ParseResult(earlier, error);
  ASSERT_TRUE(result) << error;
  EXPECT_EQ(result->frames, 90);
  EXPECT_TRUE(result->removed.empty());
  EXPECT_EQ(result->warnings, (std::vector<JobWarning>{{"late", {"export otio", "export mlt"}},
                                                       {"odd", {"text"}},
                                                       {"note: kept whole", {}},
                                                       {"export nothing: kept whole too", {}}}));

  // Today's file reads back as written, an unknown length as none.
  JobResult unknown = *result;
  unknown.frames.reset();
  unknown.length.clear();
  unknown.removed = {"edit/edit.mlt"};
  unknown.notes = {
      {"edit/edit.otio",
       "otio",
       {{"transitions-left-out", 2, {{"00:00:01;00", "Wipe"}}, "Transitions ... left out.", true},
        {"levels-in-metadata", 1, {{"00:00:00;00", "a.wav"}}, "Levels ... as recorded.", false}}},
      {"edit/edit.mlt", "mlt", {}}};
  EXPECT_TRUE(result->notes.empty()) << "an earlier file has none";
  const auto again = ParseResult(ResultText(unknown), error);
  ASSERT_TRUE(again) << error;
  EXPECT_FALSE(again->frames);
  EXPECT_EQ(again->warnings, unknown.warnings);
  EXPECT_EQ(again->removed, unknown.removed);
  EXPECT_EQ(again->notes, unknown.notes);
  EXPECT_EQ(ResultText(*again), ResultText(unknown));
}

}  // namespace
}  // namespace pexol
