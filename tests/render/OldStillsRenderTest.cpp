// tests/render/OldStillsRenderTest.cpp - the archive's old stills (PICT, SGI, PSD, palette RLE
// Targa), which MLT's image loader cannot read, rendered in one process, in ranges and by the
// plan's commands, read back with FFmpeg; the render's failures in Japanese
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "support/JapaneseArchive.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::ArchiveStill;
using test::ShellQuoted;

/// The mean colour of a square in the middle of each of `frames` (ascending) of a rendered file,
/// as FFmpeg decodes it: three bytes a frame.
std::string MiddleColours(const fs::path& file, const std::vector<int>& frames) {
  std::string select;
  for (const int frame : frames)
    select += (select.empty() ? "" : "+") + std::string("eq(n\\,") + std::to_string(frame) + ")";
  return test::Output("timeout 60 ffmpeg -v error -i " + ShellQuoted(file) +
                      " -vf 'select=" + select +
                      ",crop=16:16,scale=1:1:flags=area' -fps_mode passthrough -f rawvideo "
                      "-pix_fmt rgb24 -");
}

/// Each still's colour in the middle of its frames, as the render shows it: from `first`, each
/// `length` frames long.
void ExpectStillsShown(const fs::path& file, const std::vector<ArchiveStill>& stills, int first,
                       int length) {
  SCOPED_TRACE(file.filename().string());
  std::vector<int> frames;
  for (std::size_t k = 0; k < stills.size(); ++k)
    frames.push_back(first + static_cast<int>(k) * length + length / 2);
  const std::string colours = MiddleColours(file, frames);
  ASSERT_EQ(colours.size(), 3 * stills.size());
  for (std::size_t k = 0; k < stills.size(); ++k)
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(static_cast<unsigned char>(colours[3 * k + c]), stills[k].rgb[c], 24)
          << stills[k].colour << " channel " << c;
}

/// The converted stills in `folder` by name, with the time each was written.
std::map<std::string, fs::file_time_type> Converted(const fs::path& folder) {
  std::map<std::string, fs::file_time_type> found;
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(folder, code))
    if (entry.path().extension() == ".png")
      found[entry.path().filename().string()] = entry.last_write_time();
  return found;
}

class OldStillsRenderTest : public testing::Test {
 protected:
  test::CliOutcome Render(const std::string& arguments,
                          const std::string& environment = "timeout 240") const {
    return test::RunCli(PEXOL_CLI, folder, "render " + arguments, environment);
  }

  /// A project of the archive's stills alone, `length` frames each, named as the archive's
  /// project names them: long enough to be rendered in two ranges.
  std::string StillsProject(const test::JapaneseArchive& archive, int length) const {
    build::Project project;
    for (const ArchiveStill& still : archive.stills)
      project.main.push_back({"D:\\Video\\" + test::sjis::shashin + "\\" + still.file,
                              0,
                              length - 1,
                              0,
                              "still",
                              0,
                              0,
                              {}});
    folder.Write("stills.mpj", build::BuildProject(project));
    return "stills.mpj --map " + ShellQuoted(archive.map) + " --size 320x240";
  }

  /// Entries of the folder a render wrote beside its own destination (pieces, the stills'
  /// folder, temporary files).
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.Folder()))
      if (entry.path().filename().string().find("pexol") != std::string::npos)
        found.push_back(entry.path().filename().string());
    return found;
  }

  test::TempFolder folder;
};

// The archive's project as its user has it: movies, the four stills and a sound, rendered in
// one process; then its stills alone in two ranges side by side, each still shown where the
// timeline plays it and nothing left beside the destination.
TEST_F(OldStillsRenderTest, EveryStillFfmpegDecodesRendersInOneProcessAndInRanges) {
  const test::JapaneseArchive archive = test::MakeJapaneseArchive(folder.Path("archive"));
  ASSERT_FALSE(HasFailure());
  const test::CliOutcome whole =
      Render(ShellQuoted(archive.project) + " whole.mp4 --jobs 1 --size 320x240 --map " +
             ShellQuoted(archive.map));
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_EQ(whole.err.find("warning"), std::string::npos) << whole.err;
  ExpectStillsShown(folder.Path("whole.mp4"), archive.stills, archive.firstStillFrame,
                    archive.stillFrames);

  const std::string project = StillsProject(archive, 150);
  const test::CliOutcome ranges = Render(project + " ranges.mp4 --jobs 2");
  ASSERT_EQ(ranges.exitCode, 0) << ranges.err;
  ExpectStillsShown(folder.Path("ranges.mp4"), archive.stills, 0, 150);
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

// The plan's commands run one after another: the first range converts its two stills (PICT,
// SGI), the second the PSD (the Targa MLT may read itself), and the sound, which opens all
// four, takes theirs without converting any again; the joined file shows every still.
TEST_F(OldStillsRenderTest, ThePlansProcessesConvertEachStillOnceForAll) {
  const test::JapaneseArchive archive = test::MakeJapaneseArchive(folder.Path("archive"));
  ASSERT_FALSE(HasFailure());
  const test::CliOutcome plan =
      Render(StillsProject(archive, 150) + " planned.mp4 --jobs 2 --plan");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  std::vector<std::string> lines;
  std::istringstream in(plan.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u) << plan.out;  // two ranges, the sound, the join
  const fs::path stills = folder.Path("planned.pexol-stills");
  std::map<std::string, fs::file_time_type> before;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_TRUE(lines[i].starts_with("pexol-cli ")) << lines[i];
    EXPECT_NE(lines[i].find("--stills-folder="), i < 3 ? std::string::npos : 0) << lines[i];
    const std::string command = "cd '" + folder.Folder().string() + "' && timeout 240 '" +
                                PEXOL_CLI + "'" + lines[i].substr(9) + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << lines[i];
    const auto now = Converted(stills);
    if (i == 0) {
      EXPECT_EQ(now.size(), 2u);
    } else if (i == 1) {
      EXPECT_GE(now.size(), 3u);
    } else {
      EXPECT_EQ(now.size(), before.size()) << lines[i];
    }
    for (const auto& [name, written] : before) {
      ASSERT_TRUE(now.contains(name)) << name;
      EXPECT_EQ(now.at(name), written) << name << " converted again by " << lines[i];
    }
    before = now;
  }
  ExpectStillsShown(folder.Path("planned.mp4"), archive.stills, 0, 150);
}

/// `from` at `to`, linked where the file system allows, else copied; false when neither.
bool Place(const fs::path& from, const fs::path& to) {
  std::error_code code;
  fs::create_directories(to.parent_path(), code);
  fs::create_hard_link(from, to, code);
  if (code) fs::copy_file(from, to, code);
  return !code;
}

// Under a Japanese locale the render says why it cannot start in Japanese, in one process and
// when a range fails, the list of media and the advice included: from the build tree, and
// installed as the package lays it out, where the render program lies a folder deeper than
// pexol-cli and their catalogue.
TEST_F(OldStillsRenderTest, ARenderThatCannotStartSaysWhyInJapanese) {
  folder.Write("broken.pct", "not a picture");
  build::Project project;
  project.main = {{"gone.avi", 0, 299, 0, "", 0, 0, {}},
                  {"broken.pct", 0, 299, 0, "still", 0, 0, {}}};
  folder.Write("p.mpj", build::BuildProject(project));
  const fs::path installed = folder.Path("usr/bin/pexol-cli");
  const fs::path catalogue =
      fs::path(PEXOL_CLI).parent_path() / "../locale/ja/LC_MESSAGES/pexol.mo";
  ASSERT_TRUE(Place(PEXOL_CLI, installed));
  ASSERT_TRUE(Place(PEXOL_RENDER_PROGRAM, folder.Path("usr/libexec/pexol/pexol-render")));
  ASSERT_TRUE(Place(catalogue, folder.Path("usr/share/locale/ja/LC_MESSAGES/pexol.mo")));
  const std::string japanese = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8";
  for (const std::string& program : {std::string(PEXOL_CLI), installed.string()})
    for (const char* jobs : {"1", "2"}) {
      SCOPED_TRACE(program + " --jobs " + jobs);
      const test::CliOutcome run = test::RunCli(
          program.c_str(), folder, "render p.mpj p.mp4 --jobs " + std::string(jobs), japanese);
      EXPECT_EQ(run.exitCode, 2);
      EXPECT_NE(run.err.find("タイムラインをレンダリングできません"), std::string::npos) << run.err;
      // One process lists every medium; the first range that fails, its own.
      EXPECT_NE(run.err.find("gone.avi"), std::string::npos) << run.err;
      // A still neither MLT nor FFmpeg reads is listed as one that does not decode.
      if (jobs == std::string("1")) {
        EXPECT_NE(run.err.find("broken.pct として見つかりましたが、デコードできません"),
                  std::string::npos)
            << run.err;
      }
      EXPECT_NE(run.err.find("--missing black で"), std::string::npos) << run.err;
      EXPECT_EQ(run.err.find("Can not"), std::string::npos) << run.err;
      EXPECT_EQ(run.err.find("does not decode"), std::string::npos) << run.err;
      EXPECT_EQ(Leftovers(), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace pexol
