// tests/run/NotAProjectCommandsTest.cpp - through every command that reads a project: stills,
// movies and sounds named .mpj are refused and nothing is written, real projects are read, and
// a project that leaves most of its file unread warns of it
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/CliRun.h"
#include "support/JapaneseArchive.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

// Every file below the test's folder, to show that a refused run wrote nothing.
std::vector<std::string> FilesBelow(const test::TempFolder& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder.Folder()))
    files.push_back(entry.path().lexically_relative(folder.Folder()).string());
  std::sort(files.begin(), files.end());
  return files;
}

// The commands that read a project, SOURCE standing for it.
std::vector<std::string> ProjectCommands(const std::string& map) {
  return {"to-text SOURCE out.txt",
          "to-project SOURCE real.txt out.mpj",
          "check SOURCE --report report.txt " + map,
          "export SOURCE out.otio " + map,
          "picture SOURCE out.svg",
          "render SOURCE out.mp4 --missing black --to 5 " + map,
          "collect SOURCE collected " + map,
          "relink SOURCE out.mpj --map 'D:\\Video=E:\\Video'"};
}

std::string WithSource(std::string command, const fs::path& source) {
  return command.replace(command.find("SOURCE"), 6, test::ShellQuoted(source));
}

TEST(NotAProjectCommandsTest, StillsMoviesAndSoundsAreRefusedByEveryCommandAndProjectsAreRead) {
  const test::TempFolder folder;
  const test::JapaneseArchive archive = test::MakeJapaneseArchive(folder.Folder() / "archive");
  ASSERT_FALSE(testing::Test::HasFailure());
  // A true-colour Targa as FFmpeg writes it: no signature at its start, a footer at its end.
  test::Ffmpeg("-f lavfi -i color=red:size=64x48 -frames:v 1 " +
               test::ShellQuoted(folder.Folder() / "plain.tga"));
  const std::string map = "--map " + test::ShellQuoted(archive.map);
  ASSERT_EQ(
      test::RunCli(PEXOL_CLI, folder, "to-text " + test::ShellQuoted(archive.project) + " real.txt")
          .exitCode,
      0);
  const fs::path stills = archive.media[2].parent_path();
  const std::pair<fs::path, const char*> given[] = {
      {archive.notProjects[0], "Targa image data"},
      {archive.notProjects[1], "AVI"},
      {archive.notProjects[2], "WAVE audio"},
      {stills / archive.stills[0].file, "PICT"},
      {stills / archive.stills[1].file, "SGI image data"},
      {stills / archive.stills[2].file, "Adobe Photoshop Image"},
      {stills / archive.stills[3].file, "Targa image data"},
      {folder.Folder() / "plain.tga", "Targa image data"}};
  const std::vector<std::string> before = FilesBelow(folder);
  for (const std::string& command : ProjectCommands(map))
    for (const auto& [file, words] : given) {
      const std::string arguments = WithSource(command, file);
      const test::CliOutcome outcome = test::RunCli(PEXOL_CLI, folder, arguments);
      EXPECT_EQ(outcome.exitCode, 2) << arguments;
      const std::size_t refusal = outcome.err.find(
          "\": this is not a project of \"Corvane, Brisko\" or \"Lumetta\"; it looks like ");
      EXPECT_NE(refusal, std::string::npos) << arguments << "\n" << outcome.err;
      EXPECT_NE(outcome.err.find(words, refusal), std::string::npos) << arguments << "\n"
                                                                     << outcome.err;
      EXPECT_EQ(FilesBelow(folder), before) << arguments;
    }

  // The archive's project, and the builder's, are read by each.
  folder.Write("demo.mpj", build::BuildProject(build::DemoProject()));
  folder.Write("large.mpj", build::BuildProject(build::LargeProject()));
  folder.Write("random.mpj",
               build::BuildProject(build::RandomProject(7, 0x1FF, build::Software::Lumetta)));
  for (const std::string& command : ProjectCommands(map)) {
    const test::CliOutcome outcome =
        test::RunCli(PEXOL_CLI, folder, WithSource(command, archive.project));
    EXPECT_LE(outcome.exitCode, 1) << command << "\n" << outcome.err;
    EXPECT_EQ(outcome.err.find("not a project"), std::string::npos) << outcome.err;
    fs::remove_all(folder.Folder() / "collected");
  }
  for (const char* project : {"demo.mpj", "large.mpj", "random.mpj"}) {
    const test::CliOutcome outcome =
        test::RunCli(PEXOL_CLI, folder, std::string("check --list --software auto ") + project);
    EXPECT_EQ(outcome.exitCode, 1) << project << "\n" << outcome.err;  // media missing
    EXPECT_EQ(outcome.err.find("not a project"), std::string::npos) << outcome.err;
  }

  // A batch over the archive's projects fails each file that is none, saying what it is.
  const test::CliOutcome batch = test::RunCli(
      PEXOL_CLI, folder, "batch " + test::ShellQuoted(archive.root / "Projects") + " --out out");
  EXPECT_EQ(batch.exitCode, 2) << batch.err;
  const nlohmann::json report = nlohmann::json::parse(folder.Read("out/report.json"));
  EXPECT_EQ(report["projects"], 4) << report.dump(1);
  EXPECT_EQ(report["failed"], 3) << report.dump(1);
  for (const nlohmann::json& result : report["results"]) {
    if (result["status"] != "failed") continue;
    EXPECT_NE(result["failures"][0].get<std::string>().find("this is not a project"),
              std::string::npos)
        << result.dump(1);
  }
}

TEST(NotAProjectCommandsTest, AProjectThatLeavesMostOfItsFileUnreadIsWarnedOfByEveryCommand) {
  const test::TempFolder folder;
  // A sound pasted behind a project: it reads as the project it starts with, and a tail.
  test::Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=48000 -t 1 -ac 2 " +
               test::ShellQuoted(folder.Folder() / "sound.wav"));
  const std::string project = build::BuildProject(build::DemoProject());
  const std::string sound = folder.Read("sound.wav");
  folder.Write("tail.mpj", project + sound);
  folder.Write("real.txt", "");
  ASSERT_EQ(test::RunCli(PEXOL_CLI, folder, "to-text tail.mpj real.txt").exitCode, 0);
  const std::string warning = std::to_string(sound.size()) + " of the file's " +
                              std::to_string(project.size() + sound.size()) +
                              " bytes lie after the end of the project and were not read; they "
                              "look like RIFF (little-endian) data, WAVE audio";
  for (const std::string& command : ProjectCommands("")) {
    const test::CliOutcome outcome =
        test::RunCli(PEXOL_CLI, folder, WithSource(command, "tail.mpj"));
    EXPECT_LE(outcome.exitCode, 1) << command << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("warning: " + warning), std::string::npos) << command << "\n"
                                                                          << outcome.err;
    fs::remove_all(folder.Folder() / "collected");
  }
  // In JSON as every warning is, and in a batch's report.
  const test::CliOutcome json = test::RunCli(PEXOL_CLI, folder, "export tail.mpj j.otio --json");
  const nlohmann::json exported = nlohmann::json::parse(json.out);
  ASSERT_TRUE(exported["warnings"].is_array()) << json.out;
  EXPECT_TRUE(std::any_of(
      exported["warnings"].begin(), exported["warnings"].end(),
      [&](const nlohmann::json& w) { return w.get<std::string>().starts_with(warning); }))
      << json.out;
  fs::create_directories(folder.Folder() / "batch");
  fs::copy_file(folder.Folder() / "tail.mpj", folder.Folder() / "batch/tail.mpj");
  test::RunCli(PEXOL_CLI, folder, "batch batch --out out");
  EXPECT_NE(folder.Read("out/report.json").find(warning), std::string::npos)
      << folder.Read("out/report.json");
}

}  // namespace
}  // namespace pexol
