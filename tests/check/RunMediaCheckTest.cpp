// tests/check/RunMediaCheckTest.cpp - the check against a real folder, its files and the CLI
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "check/MediaCheck.h"
#include "tests/check/CheckProjects.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
using namespace test;

const std::string sjisPresent = "\x83\x65\x83\x58\x83\x67 \x95\x5C.avi";  // second byte 0x5C
const std::string sjisMissing = "\x89\xB9\x8A\x79.wav";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder that is also the current folder, since media names are relative to it.
class MediaFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = fs::temp_directory_path() / ("pexol-check-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    fs::current_path(folder_);
    WriteFile("clip one.avi", "x");
    WriteFile(sjisPresent, "x");
    fs::create_directory("stills.png");  // a folder never counts as a file

    build::Project p;
    p.main = {ClipNamed("clip one.avi"), ClipNamed("gone clip.avi"), ClipNamed("stills.png")};
    p.exAudio1 = {AudioNamed(sjisMissing)};
    p.bin = {{"A", sjisPresent}};
    WriteFile("p.mpj", build::BuildProject(p));
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename());
    return names;
  }

  fs::path previous_;
  fs::path folder_;
};

TEST_F(MediaFolderTest, FindsWhatIsOnDiskAndWritesTheReport) {
  NullObserver quiet;
  const RunResult result = RunMediaCheck({"p.mpj", "missing.txt"}, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(MissingCount(result), 3);
  EXPECT_EQ(result.message,
            "complete\n\np.mpj\n\n3 files undetected\n\n[MainAV]\ngone clip.avi\nstills.png\n"
            "[InsertAV]\n[ExAudio1]\n" +
                sjisMissing + "\n[ExAudio2]\n[Title]\n[BinWindow]\n\n");
  EXPECT_EQ(ReadFile("missing.txt"),
            "[MainAV]\r\ngone clip.avi\r\nstills.png\r\n[InsertAV]\r\n[ExAudio1]\r\n" +
                sjisMissing + "\r\n[ExAudio2]\r\n[Title]\r\n[BinWindow]\r\n");

  EXPECT_TRUE(MediaFileExists("clip one.avi"));
  EXPECT_FALSE(MediaFileExists("stills.png"));
  EXPECT_FALSE(MediaFileExists(""));
  EXPECT_FALSE(MediaFileExists(std::string("clip one.avi\0.x", 16)));  // not cut at the NUL
}

TEST_F(MediaFolderTest, TheReportInUtf8AndAnAmbiguousNameSaysWhy) {
  fs::create_directories("search/a");
  fs::create_directories("search/b");
  WriteFile("search/a/gone clip.avi", "x");
  WriteFile("search/b/gone clip.avi", "x");
  NullObserver quiet;
  MediaCheckJob job{"p.mpj", "missing.txt"};
  job.searchFolders = {"search"};
  job.reportEncoding = TextEncoding::Utf8;
  const RunResult result = RunMediaCheck(job, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  const std::string ambiguous =
      "gone clip.avi (ambiguous: 2 files of this name in the search folders; --list names them)";
  // The report keeps one name a line; the message says why the name counts as missing.
  EXPECT_EQ(ReadFile("missing.txt"),
            "[MainAV]\r\ngone clip.avi"
            "\r\nstills.png\r\n[InsertAV]\r\n[ExAudio1]\r\n"
            "\xE9\x9F\xB3\xE6\xA5\xBD.wav\r\n[ExAudio2]\r\n[Title]\r\n"
            "[BinWindow]\r\n");
  EXPECT_NE(result.message.find("\n" + ambiguous + "\n"), std::string::npos) << result.message;
}

TEST_F(MediaFolderTest, DefaultReportLeavesNoFile) {
  const auto before = Listing();
  NullObserver quiet;
  const RunResult result = RunMediaCheck(MediaCheckJob{"p.mpj"}, quiet);
  EXPECT_TRUE(result.Completed());
  EXPECT_EQ(MissingCount(result), 3);
  EXPECT_EQ(Listing(), before);
}

TEST_F(MediaFolderTest, NamesStartInTheProjectsFolderAndEveryReferenceIsTold) {
  // Run from elsewhere: relative names are the project's, not the current folder's.
  const fs::path elsewhere = fs::temp_directory_path();
  fs::current_path(elsewhere);
  NullObserver quiet;
  MediaCheckJob job{(folder_ / "p.mpj").string()};
  std::vector<std::pair<std::string, MediaStatus>> told;
  job.onReference = [&](std::string_view stored, const MediaResolution& found) {
    told.emplace_back(stored, found.status);
  };
  const RunResult result = RunMediaCheck(job, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(MissingCount(result), 3);
  ASSERT_EQ(told.size(), 5u);
  EXPECT_EQ(told[0], std::pair(std::string("clip one.avi"), MediaStatus::Found));
  EXPECT_EQ(told[2], std::pair(std::string("stills.png"), MediaStatus::Missing));
  EXPECT_EQ(told[4], std::pair(sjisPresent, MediaStatus::Found));
}

TEST_F(MediaFolderTest, FailuresLeaveFilesAsTheyWere) {
  NullObserver quiet;
  EXPECT_EQ(RunMediaCheck({"absent.mpj", "r.txt"}, quiet)
                .message.rfind("Can not open mpj source file\n\nabsent.mpj\n", 0),
            0u);
  EXPECT_EQ(RunMediaCheck({"p.mpj", "no/such/folder/r.txt"}, quiet)
                .message.rfind("Can not open txt destination file", 0),
            0u);

  const std::string project = ReadFile("p.mpj");
  const RunResult overSource = RunMediaCheck({"p.mpj", "./p.mpj"}, quiet);
  EXPECT_FALSE(overSource.Completed());
  EXPECT_EQ(ReadFile("p.mpj"), project);

  WriteFile("short.mpj", project.substr(0, 30));
  WriteFile("old.txt", "old report");
  const auto before = Listing();
  const RunResult cut = RunMediaCheck({"short.mpj", "old.txt"}, quiet);
  EXPECT_FALSE(cut.Completed());
  EXPECT_NE(cut.message.find("ends too early, at byte 30, while reading [MainAV] record 1 of 3"),
            std::string::npos)
      << cut.message;
  EXPECT_EQ(ReadFile("old.txt"), "old report");
  EXPECT_EQ(Listing(), before);  // no temporary file left behind
}

TEST_F(MediaFolderTest, CommandLineExitStatus) {
  const auto run = [](const std::string& arguments) {
    const int status =
        std::system((std::string(PEXOL_CLI) + " check " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  build::Project allThere;
  allThere.main = {ClipNamed("clip one.avi")};
  WriteFile("ok.mpj", build::BuildProject(allThere));
  EXPECT_EQ(run("ok.mpj --software corvane"), 0);
  EXPECT_EQ(run("p.mpj --report cli.txt"), 1);
  EXPECT_EQ(ReadFile("cli.txt").substr(0, 25), "[MainAV]\r\ngone clip.avi\r\n");
  EXPECT_EQ(run("absent.mpj"), 2);
}

}  // namespace
}  // namespace pexol
