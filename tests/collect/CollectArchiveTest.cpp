// tests/collect/CollectArchiveTest.cpp - an archive as Japanese users keep it (folders named in
// Shift-JIS beside a UTF-8 one) collected whole: UTF-8 names in the folder, Shift-JIS names in
// its project, a UTF-8 report, and an MLT document that plays wherever the folder goes
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/TextEncoding.h"
#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "support/JapaneseArchive.h"
#include "support/MltFrames.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
namespace sjis = test::sjis;
namespace utf8 = test::utf8;

/// Every file below `folder`, relative, with every name in it checked to be UTF-8.
std::set<std::string> Utf8FilesUnder(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(IsValidUtf8(name)) << EscapedPath(entry.path().string());
    if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(folder).string());
  }
  return files;
}

std::string_view PictureBytes(const test::Picture& picture) {
  return {reinterpret_cast<const char*>(picture.bytes.data()), picture.bytes.size()};
}

class CollectArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    archive = test::MakeJapaneseArchive(folder.Folder() / "archive");
    ASSERT_FALSE(HasFailure());
  }

  test::CliOutcome Collect(const std::string& into, const std::string& options) {
    return test::RunCli(PEXOL_CLI, folder,
                        "collect " + test::ShellQuoted(archive.project) + " " + into + " --map " +
                            test::ShellQuoted(archive.map) + " " + options);
  }

  test::TempFolder folder;
  test::JapaneseArchive archive;
};

TEST_F(CollectArchiveTest, TakesEveryFileUnderUtf8NamesThatTheProjectNamesInShiftJis) {
  const test::CliOutcome collected = Collect("copied", "");
  ASSERT_EQ(collected.exitCode, 0) << collected.err << collected.out;
  const std::string project = utf8::undokai + ".mpj";
  EXPECT_EQ(Utf8FilesUnder(folder.Folder() / "copied"),
            (std::set<std::string>{
                project, "collect-report.txt", "media/" + utf8::undokai + "/intro.avi",
                "media/" + utf8::undokai + "/" + utf8::tokyoso + ".avi",
                "media/" + utf8::shashin + "/" + utf8::hyoshi + ".pct",
                "media/" + utf8::shashin + "/sky.sgi", "media/" + utf8::shashin + "/layers.psd",
                "media/" + utf8::shashin + "/" + utf8::logo + ".tga",
                "media/" + utf8::ryoko + "/walk.avi", "media/" + utf8::ryoko + "/music.wav"}));
  const std::string report = folder.Read("copied/collect-report.txt");
  EXPECT_TRUE(IsValidUtf8(report)) << report;
  EXPECT_NE(report.find("Copied: 8 media files"), std::string::npos) << report;
  EXPECT_TRUE(collected.out.starts_with(report)) << collected.out;
  // The project keeps its own encoding: 表紙's first pair ends in the byte of a '\'.
  const std::string bytes = folder.Read("copied/" + project);
  for (const std::string& name : {"media\\" + sjis::undokai + "\\" + sjis::tokyoso + ".avi",
                                  "media\\" + sjis::shashin + "\\" + sjis::hyoshi + ".pct",
                                  "media\\" + sjis::ryoko + "\\music.wav"})
    EXPECT_NE(bytes.find(name), std::string::npos) << Printable(name);

  // Moved, the folder's project finds every file by the names it holds.
  fs::rename(folder.Folder() / "copied", folder.Folder() / "moved");
  const test::CliOutcome check =
      test::RunCli(PEXOL_CLI, folder, "check " + test::ShellQuoted("moved/" + project) + " --list");
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
  EXPECT_EQ(check.out.find("missing\t"), std::string::npos) << check.out;
}

TEST_F(CollectArchiveTest, TranscodedItsMltDocumentPlaysEveryFileAfterAMove) {
  // MLT's Qt module (stills) needs a display name even when it draws off screen.
  setenv("DISPLAY", ":99", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Mlt::Factory::init();
  const test::CliOutcome collected =
      Collect("prores", "--transcode prores --format mlt --format kdenlive");
  ASSERT_EQ(collected.exitCode, 0) << collected.err << collected.out;
  const std::string report = folder.Read("prores/collect-report.txt");
  EXPECT_TRUE(IsValidUtf8(report)) << report;
  EXPECT_EQ(report.find("Left out"), std::string::npos) << report;
  const std::string stem = utf8::undokai;
  const std::set<std::string> files = Utf8FilesUnder(folder.Folder() / "prores");
  for (const std::string& file :
       {stem + ".mlt", stem + ".kdenlive", "media/" + utf8::undokai + "/intro.mov",
        "media/" + utf8::undokai + "/" + utf8::tokyoso + ".mov",
        "media/" + utf8::shashin + "/" + utf8::hyoshi + ".png",
        "media/" + utf8::ryoko + "/walk.mov"})
    EXPECT_TRUE(files.contains(file)) << file << " is not among " << testing::PrintToString(files);

  fs::rename(folder.Folder() / "prores", folder.Folder() / "moved");
  const std::string document = folder.Path("moved/" + stem + ".mlt");
  // Each movie plays as its original file does, a second into its clip.
  const std::string video = (archive.root / "Video").string();
  const std::pair<int, std::string> movies[] = {
      {10, video + "/" + sjis::undokai + "/intro.avi"},
      {40, video + "/" + sjis::undokai + "/" + sjis::tokyoso + ".avi"},
      {archive.firstStillFrame + 4 * archive.stillFrames + 10,
       video + "/" + utf8::ryoko + "/walk.avi"}};
  test::MltFrames played("dv_ntsc", nullptr, document);
  ASSERT_TRUE(played.Valid()) << document;
  for (const auto& [position, original] : movies) {
    const int into = position % 30;  // each clip plays frames 0 to 29 of its file
    test::MltFrames source("dv_ntsc", nullptr, original);
    ASSERT_TRUE(source.Valid()) << Printable(original);
    EXPECT_LT(test::MeanDifference(PictureBytes(source.Frame(into)),
                                   PictureBytes(played.Frame(position))),
              4.0)
        << "frame " << position;
  }
  // Each still shows its colour all over the frame, in the MLT document and in Kdenlive's
  // (an MLT document too, its media named relative to it), both read from the moved folder.
  const std::string kdenlive = folder.Path("moved/" + stem + ".kdenlive");
  test::MltFrames edited("dv_ntsc", nullptr, kdenlive);
  ASSERT_TRUE(edited.Valid()) << kdenlive;
  for (std::size_t i = 0; i < archive.stills.size(); ++i) {
    const test::ArchiveStill& still = archive.stills[i];
    const int position = archive.firstStillFrame + static_cast<int>(i) * archive.stillFrames + 15;
    for (test::MltFrames* frames : {&played, &edited})
      EXPECT_TRUE(test::Near(frames->Frame(position).At(360, 240),
                             {still.rgb[0], still.rgb[1], still.rgb[2]}, 8))
          << still.colour << " at frame " << position << (frames == &edited ? " (Kdenlive)" : "");
  }
  EXPECT_LT(test::MeanDifference(PictureBytes(played.Frame(40)), PictureBytes(edited.Frame(40))),
            4.0);
}

}  // namespace
}  // namespace pexol
