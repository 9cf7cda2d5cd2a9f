// tests/core/OutputFileTest.cpp - replaced destinations keep their mode, owner, group and links
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "check/MediaCheck.h"
#include "core/FileIo.h"
#include "core/OutputSet.h"
#include "run/RunConversions.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

enum class Job { ToText, ToProject, Check };
constexpr Job allJobs[] = {Job::ToText, Job::ToProject, Job::Check};
const std::string demo = PEXOL_SOURCE_DIR "/examples/demo.mpj";

struct stat Status(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}
mode_t Mode(const std::string& path) {
  return Status(path).st_mode & 07777;
}

// The file size limit makes a write fail halfway, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  void (*handler_)(int);
  rlimit saved_{};
};

class OutputFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Start(Job::ToText, Path("demo.txt")).Completed()); }

  RunResult Start(Job job, const std::string& destination, const std::string& source = demo) {
    switch (job) {
      case Job::ToText:
        return RunProjectToText({source, destination, {}}, observer);
      case Job::ToProject:
        return RunTextToProject({source, Path("demo.txt"), destination, {}}, observer);
      case Job::Check:
        break;
    }
    MediaCheckJob check;  // set by name, as the check gains options
    check.source = source;
    check.report = destination;
    return RunMediaCheck(check, observer);
  }
  // `name` with `bytes` and `mode`, and a second hard link "twin" when `linked`.
  void WriteOld(const std::string& name, const std::string& bytes, mode_t mode, bool linked) {
    fs::remove(Path("twin"));
    folder.Write(name, bytes);
    ASSERT_EQ(::chmod(Path(name).c_str(), mode), 0);
    if (linked) fs::create_hard_link(Path(name), Path("twin"));
  }
  std::string Path(const std::string& name) const { return folder.Path(name); }

  test::TempFolder folder;
  NullObserver observer;
};

TEST_F(OutputFileTest, EveryRunKeepsTheModeOfTheFileItReplaces) {
  const mode_t umaskBits = ::umask(0);
  ::umask(umaskBits);
  for (Job job : allJobs) {
    ASSERT_TRUE(Start(job, Path("new")).Completed());
    EXPECT_EQ(Mode(Path("new")), 0666 & ~umaskBits);
    fs::remove(Path("new"));
    for (mode_t mode : {0600, 0640}) {
      WriteOld("out", "old", mode, false);
      ASSERT_TRUE(Start(job, Path("out")).Completed());
      EXPECT_NE(folder.Read("out"), "old");
      EXPECT_EQ(Mode(Path("out")), mode);
    }
  }
  EXPECT_EQ(folder.FileCount(), 2u);  // no temporary file is left behind
}

TEST_F(OutputFileTest, TheSuperuserKeepsOwnerGroupAndSetIdBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file away";
  for (Job job : allJobs) {
    WriteOld("out", "old", 0640, false);
    ASSERT_EQ(::chown(Path("out").c_str(), 12345, 23456), 0);
    ASSERT_EQ(::chmod(Path("out").c_str(), 06750), 0);  // a change of owner clears these
    ASSERT_TRUE(Start(job, Path("out")).Completed());
    const struct stat status = Status(Path("out"));
    EXPECT_EQ(status.st_uid, 12345u);
    EXPECT_EQ(status.st_gid, 23456u);
    EXPECT_EQ(status.st_mode & 07777, 06750u);
  }
}

TEST_F(OutputFileTest, AHardLinkedFileIsRewrittenUnderEveryName) {
  for (Job job : allJobs) {
    ASSERT_TRUE(Start(job, Path("fresh")).Completed());
    WriteOld("out", std::string(100000, 'x'), 0640, true);  // longer than any output
    ASSERT_TRUE(Start(job, Path("out")).Completed());
    EXPECT_EQ(folder.Read("out"), folder.Read("fresh"));
    EXPECT_EQ(folder.Read("twin"), folder.Read("fresh"));
    const struct stat status = Status(Path("out"));
    EXPECT_EQ(status.st_nlink, 2u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
  }
  EXPECT_EQ(folder.FileCount(), 4u);
}

TEST_F(OutputFileTest, AFailedRunLeavesTheOldFileItsContentAndMode) {
  fs::copy_file(demo, Path("cut.mpj"));
  fs::resize_file(Path("cut.mpj"), 100);
  for (bool linked : {false, true}) {
    const auto expectOld = [&](const char* how) {
      EXPECT_EQ(folder.Read("out"), "old") << how << (linked ? ", linked" : "");
      EXPECT_EQ(Mode(Path("out")), 0640u) << how;
      if (linked) {
        EXPECT_EQ(folder.Read("twin"), "old") << how;
      }
      EXPECT_EQ(folder.FileCount(), linked ? 4u : 3u) << how;
    };
    WriteOld("out", "old", 0640, linked);
    {
      OutputFile out;
      std::string error;
      ASSERT_TRUE(out.Open(Path("out"), error)) << error;
    }
    expectOld("not committed");
    EXPECT_FALSE(Start(Job::ToText, Path("out"), Path("cut.mpj")).Completed());
    expectOld("the conversion failed");
    for (Job job : allJobs) {
      // In place, the room for the new content is claimed before the old is written over.
      const FileSizeLimit limit(64);
      EXPECT_FALSE(Start(job, Path("out")).Completed());
      expectOld("the write failed");
    }
  }
}

// A set is written whole before any member is replaced; a rename that fails afterwards (here a
// folder put in a member's place) is reported with what was and was not replaced.
TEST_F(OutputFileTest, ASetSaysExactlyWhatARenameFailureReplaced) {
  const std::vector<std::string> names = {"a.edl", "a-insert.edl", "a-exaudio1.edl"};
  for (const std::string& name : names) folder.Write(name, "old");
  folder.Write("a-exaudio2.edl", "obsolete");
  std::vector<SetMember> members;
  std::string error;
  {
    std::vector<OutputFile> files(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      ASSERT_TRUE(files[i].Open(Path(names[i]), error)) << error;
      members.push_back({&files[i], "new"});
    }
    const FileSizeLimit limit(2);
    const SetCommit failed = CommitSet(members, std::vector<std::string>{});
    EXPECT_FALSE(failed.completed);
    EXPECT_TRUE(failed.replaced.empty());
    for (const std::string& name : names) EXPECT_EQ(folder.Read(name), "old") << name;
  }
  std::vector<OutputFile> again(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_TRUE(again[i].Open(Path(names[i]), error)) << error;
    members[i].file = &again[i];
  }
  fs::remove(Path("a-exaudio1.edl"));
  fs::create_directories(Path("a-exaudio1.edl/full"));
  const std::vector<std::string> obsolete = {Path("a-exaudio2.edl")};
  const SetCommit partial = CommitSet(members, obsolete);
  EXPECT_FALSE(partial.completed);
  EXPECT_EQ(partial.failedPath, Path("a-exaudio1.edl"));
  EXPECT_EQ(partial.replaced, (std::vector<std::string>{Path("a.edl"), Path("a-insert.edl")}));
  EXPECT_EQ(partial.kept, std::vector<std::string>{Path("a-exaudio1.edl")});
  EXPECT_EQ(folder.Read("a-exaudio2.edl"), "obsolete");
  EXPECT_EQ(folder.FileCount(), 5u);  // no temporary file is left

  fs::remove_all(Path("a-exaudio1.edl"));
  std::vector<OutputFile> last(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_TRUE(last[i].Open(Path(names[i]), error)) << error;
    members[i].file = &last[i];
  }
  const SetCommit done = CommitSet(members, obsolete);
  EXPECT_TRUE(done.completed);
  EXPECT_EQ(done.removed, obsolete);
  for (const std::string& name : names) EXPECT_EQ(folder.Read(name), "new") << name;
  EXPECT_FALSE(fs::exists(Path("a-exaudio2.edl")));
}

}  // namespace
}  // namespace pexol
