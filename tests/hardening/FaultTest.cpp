// tests/hardening/FaultTest.cpp - full disks, bad paths and bad texts end every run cleanly
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>

#include "check/MediaCheck.h"
#include "run/RunConversions.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

enum class Job { ToText, ToProject, Check };
constexpr Job allJobs[] = {Job::ToText, Job::ToProject, Job::Check};

std::string_view DestinationFailure(Job job) {
  return job == Job::ToProject ? "Can not open mpj destination file"
                               : "Can not open txt destination file";
}

class FaultTest : public testing::Test {
 protected:
  void SetUp() override {
    project = build::BuildProject(build::DemoProject());
    text = test::ConvertToText(project, Software::CorvaneBrisko);
    folder.Write("demo.mpj", project);
    folder.Write("demo.txt", text);
  }

  // One run on the good files, writing to `destination`.
  RunResult Start(Job job, const std::string& destination, std::string source = {},
                  std::string textSource = {}) {
    if (source.empty()) source = folder.Path("demo.mpj");
    if (textSource.empty()) textSource = folder.Path("demo.txt");
    switch (job) {
      case Job::ToText:
        return RunProjectToText({source, destination, {}}, observer);
      case Job::ToProject:
        return RunTextToProject({source, textSource, destination, {}}, observer);
      case Job::Check:
        return RunMediaCheck({source, destination}, observer);
    }
    return {};
  }

  test::TempFolder folder;
  std::string project;
  std::string text;
  NullObserver observer;
};

bool StartsWith(const std::string& text, std::string_view start) {
  return text.rfind(start, 0) == 0;
}

TEST_F(FaultTest, ADiskFullFailsEveryRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  for (Job job : allJobs) {
    const RunResult result = Start(job, "/dev/full");
    EXPECT_FALSE(result.Completed());
    EXPECT_TRUE(StartsWith(result.message, "Can not write destination file\n\n/dev/full\n"))
        << result.message;
  }
  EXPECT_EQ(folder.FileCount(), 2u);
}

// The file size limit makes a write to an ordinary file fail halfway, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int);
};

TEST_F(FaultTest, AWriteCutShortKeepsTheOldFileAndLeavesNoTemporaryFile) {
  for (Job job : allJobs) {
    folder.Write("old", "precious");
    RunResult result;
    {
      const FileSizeLimit limit(64);
      result = Start(job, folder.Path("old"));
    }
    EXPECT_FALSE(result.Completed());
    EXPECT_TRUE(StartsWith(result.message, "Can not write destination file")) << result.message;
    EXPECT_EQ(folder.Read("old"), "precious");
    EXPECT_EQ(folder.FileCount(), 3u);
  }
}

TEST_F(FaultTest, DestinationsThatCannotBeOpenedAreNamedAndNothingIsWritten) {
  fs::create_directory(folder.Folder() / "sub");
  for (Job job : allJobs) {
    for (const std::string& destination :
         {folder.Path("missing/out"), folder.Path("sub"), folder.Path("demo.mpj/out")}) {
      const RunResult result = Start(job, destination);
      EXPECT_FALSE(result.Completed());
      EXPECT_TRUE(StartsWith(result.message,
                             std::string(DestinationFailure(job)) + "\n\n" + destination + "\n"))
          << result.message;
    }
  }
  EXPECT_TRUE(fs::is_empty(folder.Folder() / "sub"));
  EXPECT_EQ(folder.FileCount(), 3u);
  EXPECT_EQ(folder.Read("demo.mpj"), project);
}

TEST_F(FaultTest, SourcesThatCannotBeReadAreNamed) {
  // Opening /proc/self/mem works, reading its first page does not: a read error.
  const std::string sources[] = {folder.Folder().string(), folder.Path("absent.mpj"),
                                 "/proc/self/mem"};
  for (Job job : allJobs) {
    for (const std::string& source : sources) {
      const RunResult result = Start(job, folder.Path("out"), source);
      EXPECT_TRUE(StartsWith(result.message, "Can not open mpj source file\n\n" + source + "\n"))
          << result.message;
    }
  }
  for (const std::string& textSource : sources) {
    const RunResult result = Start(Job::ToProject, folder.Path("out"), {}, textSource);
    EXPECT_TRUE(StartsWith(result.message, "Can not open txt source file\n\n" + textSource + "\n"))
        << result.message;
  }
  EXPECT_EQ(folder.FileCount(), 2u);
}

TEST_F(FaultTest, AFileWithoutReadPermissionIsNamed) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
  fs::permissions(folder.Path("demo.mpj"), fs::perms::none);
  for (Job job : allJobs) {
    const RunResult result = Start(job, folder.Path("out"));
    EXPECT_TRUE(StartsWith(result.message, "Can not open mpj source file")) << result.message;
    EXPECT_NE(result.message.find("Permission denied"), std::string::npos);
  }
}

TEST_F(FaultTest, ADestinationThatIsTheSourceUnderAnotherNameIsRefused) {
  fs::create_symlink(folder.Path("demo.mpj"), folder.Path("link.mpj"));
  fs::create_hard_link(folder.Path("demo.mpj"), folder.Path("hard.mpj"));
  fs::create_symlink(folder.Path("demo.txt"), folder.Path("link.txt"));
  for (const char* other : {"link.mpj", "hard.mpj"}) {
    EXPECT_FALSE(Start(Job::ToText, folder.Path(other)).Completed());
    EXPECT_FALSE(Start(Job::Check, folder.Path(other)).Completed());
  }
  EXPECT_FALSE(Start(Job::ToProject, folder.Path("link.txt")).Completed());
  EXPECT_EQ(folder.Read("demo.mpj"), project);
  EXPECT_EQ(folder.Read("demo.txt"), text);
  EXPECT_EQ(folder.FileCount(), 5u);

  // Replacing the source project itself is allowed: it was read whole beforehand.
  EXPECT_TRUE(Start(Job::ToProject, folder.Path("hard.mpj")).Completed());
  EXPECT_EQ(folder.Read("demo.mpj"), project);
}

TEST_F(FaultTest, ATextWithLineFeedsAloneGivesTheSameProject) {
  std::string lfOnly;
  for (char c : text)
    if (c != '\r') lfOnly += c;
  folder.Write("lf.txt", lfOnly);
  const RunResult result = Start(Job::ToProject, folder.Path("out.mpj"), {}, folder.Path("lf.txt"));
  EXPECT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(folder.Read("out.mpj"), project);
}

TEST_F(FaultTest, ATextOfOneHugeLineFailsAtOnce) {
  folder.Write("huge.txt", std::string(64 << 20, 'x'));
  const auto start = std::chrono::steady_clock::now();
  const RunResult result =
      Start(Job::ToProject, folder.Path("out.mpj"), {}, folder.Path("huge.txt"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_NE(result.message.find("the text ends after line 1, where the heading \"[MainAV]\" was "
                                "expected."),
            std::string::npos)
      << result.message.substr(0, 200);
  EXPECT_FALSE(fs::exists(folder.Path("out.mpj")));
}

}  // namespace
}  // namespace pexol
