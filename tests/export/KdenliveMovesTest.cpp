// tests/export/KdenliveMovesTest.cpp - a collected folder's Kdenlive document names its media
// from where it lies, so it plays every clip after the folder moved and the originals went
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <filesystem>
#include <fstream>

#include "collect/RunCollect.h"
#include "support/MltFrames.h"
#include "support/OldMedia.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

// A movie of one colour with a steady tone, 2 s at NTSC's rate.
bool MakeColourMovie(const fs::path& path, const std::string& colour) {
  return test::MakeWithFfmpeg("-f lavfi -i color=" + colour +
                                  ":size=320x240:rate=30000/1001 -f lavfi -i "
                                  "sine=frequency=440:sample_rate=48000 -t 2 -ac 2 -c:v mjpeg "
                                  "-q:v 2 -c:a pcm_s16le -f avi",
                              path);
}

TEST(KdenliveMovesTest, ACollectedFolderMovedElsewherePlaysEveryClipOfItsKdenliveDocument) {
  // MLT's Qt module (stills) needs a display name even when it draws off screen.
  setenv("DISPLAY", ":99", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Mlt::Factory::init();
  const test::TempFolder folder;
  const fs::path shoot = folder.Folder() / "shoot";
  fs::create_directories(shoot / "stills");
  {
    // A binary PPM, which MLT's image loader knows by its content.
    std::ofstream out(shoot / "stills/red.png", std::ios::binary);
    out << "P6\n64 48\n255\n";
    for (int i = 0; i < 64 * 48; ++i) out << '\xFF' << '\0' << '\0';
  }
  ASSERT_TRUE(MakeColourMovie(shoot / "blue.avi", "blue"));
  ASSERT_TRUE(MakeColourMovie(shoot / "green.avi", "lime"));
  build::Project project;
  project.main = {{"E:\\Shoot\\stills\\red.png", 0, 29, 0, "still", 0, 0, {}},
                  {"E:\\Shoot\\blue.avi", 0, 29, 0, "", 100, 100, {}},
                  {"E:\\Shoot\\green.avi", 0, 29, 0, "", 100, 100, {}}};
  // The green movie plays at half speed, through a timewarp producer of its own.
  build::TrackFilter slow;
  slow.slow = 1;
  project.mainFilters = {{}, {}, slow};
  folder.Write("edit.mpj", build::BuildProject(project));

  CollectJob collect;
  collect.source = folder.Path("edit.mpj");
  collect.folder = folder.Path("collected");
  collect.maps = {"E:\\Shoot=" + shoot.string()};
  collect.formats = {"kdenlive", "mlt"};
  NullObserver quiet;
  const RunResult collected = RunCollect(collect, quiet);
  ASSERT_TRUE(collected.Completed()) << collected.message;
  fs::create_directories(folder.Folder() / "elsewhere");
  fs::rename(folder.Folder() / "collected", folder.Folder() / "elsewhere/moved");
  fs::remove_all(shoot);

  const std::string kdenlive = folder.Path("elsewhere/moved/edit.kdenlive");
  const std::string document = folder.Read("elsewhere/moved/edit.kdenlive");
  EXPECT_NE(document.find("<property name=\"resource\">media/stills/red.png</property>"),
            std::string::npos)
      << document;
  EXPECT_EQ(document.find(folder.Folder().string()), std::string::npos) << document;
  // Neither format is one whose readers need whole paths.
  const std::string report = folder.Read("elsewhere/moved/collect-report.txt");
  EXPECT_EQ(report.find("Named by their whole paths"), std::string::npos) << report;

  // Loaded as Kdenlive's MLT loads it: each clip shows its media, not black or a placeholder,
  // and the movies' sound plays.
  test::MltFrames frames("dv_ntsc", nullptr, kdenlive);
  ASSERT_TRUE(frames.Valid());
  const std::pair<int, test::Rgb> shown[] = {
      {10, {255, 0, 0}}, {45, {0, 0, 255}}, {75, {0, 255, 0}}, {110, {0, 255, 0}}};
  for (const auto& [frame, colour] : shown) {
    const test::Picture picture = frames.Frame(frame);
    EXPECT_TRUE(test::Near(picture.At(360, 240), colour))
        << "frame " << frame << ": " << picture.At(360, 240).r << "," << picture.At(360, 240).g
        << "," << picture.At(360, 240).b;
  }
  EXPECT_GT(frames.Peak(45), 1000);  // silence when the movie is missing
  // So does the Shotcut document beside it.
  EXPECT_TRUE(test::Near(
      test::DocumentFrame(folder.Path("elsewhere/moved/edit.mlt"), 75).At(360, 240), {0, 255, 0}));
}

}  // namespace
}  // namespace pexol
