// tests/support/JapaneseArchive.h - an archive as a Japanese user keeps it: folders copied from a
// Windows drive with their Shift-JIS bytes, a UTF-8 folder beside them, old stills (PICT, SGI,
// PSD, palette Targa) and AVIs (DV, Motion-JPEG, Xvid), a project named in Shift-JIS, and
// files that are not projects though they are named so
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/CommandOutput.h"
#include "support/OldMedia.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::test {

/// Shift-JIS bytes of the Japanese names the archive uses.
namespace sjis {
inline const std::string undokai = "\x89\x5e\x93\xae\x89\xef";  // 運動会
inline const std::string shashin = "\x8e\xca\x90\x5e";          // 写真
inline const std::string tokyoso = "\x93\x6b\x8b\xa3\x91\x96";  // 徒競走
inline const std::string hyoshi = "\x95\x5c\x8e\x86";  // 表紙: its first pair ends in 5C, a '\'
inline const std::string logo = "\x83\x8d\x83\x53";    // ロゴ
inline const std::string ryoko = "\x97\xb7\x8d\x73";   // 旅行
}  // namespace sjis

/// The same names in UTF-8.
namespace utf8 {
inline const std::string undokai = "\xe9\x81\x8b\xe5\x8b\x95\xe4\xbc\x9a";  // 運動会
inline const std::string shashin = "\xe5\x86\x99\xe7\x9c\x9f";              // 写真
inline const std::string tokyoso = "\xe5\xbe\x92\xe7\xab\xb6\xe8\xb5\xb0";  // 徒競走
inline const std::string hyoshi = "\xe8\xa1\xa8\xe7\xb4\x99";               // 表紙
inline const std::string logo = "\xe3\x83\xad\xe3\x82\xb4";                 // ロゴ
inline const std::string ryoko = "\xe6\x97\x85\xe8\xa1\x8c";                // 旅行
}  // namespace utf8

/// A still of one flat colour, so that a rendered frame shows whether it was drawn.
struct ArchiveStill {
  std::string file;    ///< its name on disk under the folder, in the bytes it has there
  std::string colour;  ///< as ImageMagick names it
  unsigned char rgb[3];
  std::string options;  ///< ImageMagick's options and format prefix that write it
};

/// What the archive holds and where its project's clips play.
struct JapaneseArchive {
  std::filesystem::path root;     ///< the folder the archive was built in
  std::filesystem::path project;  ///< Projects/運動会.mpj (its name in Shift-JIS bytes)
  std::string map;                ///< the --map option that finds its media: "D:\Video=..."
  /// Files named ".mpj" that are not projects: an image, a movie and a sound.
  std::vector<std::filesystem::path> notProjects;
  /// Every media file the project names, as found on disk.
  std::vector<std::filesystem::path> media;
  /// The stills, in the order they play from `firstStillFrame`, `stillFrames` each.
  std::vector<ArchiveStill> stills;
  int firstStillFrame = 0;
  int stillFrames = 0;
  int length = 0;  ///< of the main track, in frames
};

/// Builds the archive under `root`:
///   Video/運動会/intro.avi, Video/運動会/徒競走.avi   (DV, Motion-JPEG; Shift-JIS folder and name)
///   Video/写真/表紙.pct, sky.sgi, layers.psd, ロゴ.tga (PICT, SGI, PSD, palette RLE Targa)
///   Video/旅行/walk.avi, music.wav                    (Xvid and a WAV; the folder's name
///                                                      converted to UTF-8, as a copy does)
///   Projects/運動会.mpj  naming them as D:\Video\...  (Shift-JIS file name)
///   Projects/image.mpj, movie.mpj, sound.mpj          (a Targa, an AVI and a WAV)
/// Fatal failures of the test when a tool could not make a file.
inline JapaneseArchive MakeJapaneseArchive(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  JapaneseArchive archive;
  archive.root = root;
  const fs::path video = root / "Video";
  const fs::path undokai = video / sjis::undokai;
  const fs::path shashin = video / sjis::shashin;
  const fs::path ryoko = video / utf8::ryoko;
  for (const fs::path& folder : {undokai, shashin, ryoko, root / "Projects"})
    fs::create_directories(folder);

  EXPECT_TRUE(MakeDvAvi(undokai / "intro.avi", 60));
  EXPECT_TRUE(MakeMjpegAvi(undokai / (sjis::tokyoso + ".avi"), 60));
  EXPECT_TRUE(MakeMpeg4Avi(ryoko / "walk.avi", 60));
  Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=48000 -t 10 -ac 2 " +
         ShellQuoted(ryoko / "music.wav"));
  archive.stills = {
      {sjis::hyoshi + ".pct", "red", {255, 0, 0}, "PICT:"},
      {"sky.sgi", "lime", {0, 255, 0}, "SGI:"},
      {"layers.psd", "blue", {0, 0, 255}, "-depth 8 PSD:"},
      {sjis::logo + ".tga", "yellow", {255, 255, 0}, "-type Palette -compress RLE TGA:"}};
  for (const ArchiveStill& still : archive.stills) {
    const std::size_t split = still.options.rfind(' ') + 1;  // 0 when there is no option
    const fs::path path = shashin / still.file;
    const std::string command = "timeout 60 convert -size 320x240 xc:" + still.colour + " " +
                                still.options.substr(0, split) +
                                ShellQuoted(still.options.substr(split) + path.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(fs::exists(path)) << command;
  }
  if (testing::Test::HasFailure()) return archive;

  const std::string stored = "D:\\Video\\";
  build::Project project;
  project.main = {
      {stored + sjis::undokai + "\\intro.avi", 0, 29, 0, "", 0x8000, 0x8000, {}},
      {stored + sjis::undokai + "\\" + sjis::tokyoso + ".avi", 0, 29, 0, "", 0x8000, 0x8000, {}}};
  archive.firstStillFrame = 60;
  archive.stillFrames = 30;
  for (const ArchiveStill& still : archive.stills)
    project.main.push_back(
        {stored + sjis::shashin + "\\" + still.file, 0, 29, 0, "still", 0, 0, {}});
  project.main.push_back({stored + sjis::ryoko + "\\walk.avi", 0, 29, 0, "", 0x8000, 0x8000, {}});
  archive.length = 30 * static_cast<int>(project.main.size());
  project.exAudio1 = {
      {stored + sjis::ryoko + "\\music.wav", 0, archive.length - 1, 0, 0x8000, 0x8000, {}}};
  for (const build::Clip& clip : project.main)
    project.bin.push_back({clip.name.substr(clip.name.rfind('\\') + 1), clip.name, 0, 29, 0, 0});
  archive.project = root / "Projects" / (sjis::undokai + ".mpj");
  {
    std::ofstream out(archive.project, std::ios::binary);
    out << build::BuildProject(project);
  }
  archive.map = "D:\\Video=" + video.string();
  archive.media = {undokai / "intro.avi", undokai / (sjis::tokyoso + ".avi")};
  for (const ArchiveStill& still : archive.stills) archive.media.push_back(shashin / still.file);
  archive.media.push_back(ryoko / "walk.avi");
  archive.media.push_back(ryoko / "music.wav");

  // Files that are not projects, named as if they were.
  fs::copy_file(shashin / (sjis::logo + ".tga"), root / "Projects/image.mpj");
  fs::copy_file(undokai / "intro.avi", root / "Projects/movie.mpj");
  fs::copy_file(ryoko / "music.wav", root / "Projects/sound.mpj");
  archive.notProjects = {root / "Projects/image.mpj", root / "Projects/movie.mpj",
                         root / "Projects/sound.mpj"};
  return archive;
}

}  // namespace pexol::test
