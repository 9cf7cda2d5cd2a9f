// tests/collect/CollectPlaysTest.cpp - a collected folder moved elsewhere plays in MLT as the
// project did where its media were
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <filesystem>
#include <fstream>

#include "collect/RunCollect.h"
#include "export/RunExport.h"
#include "support/MltFrames.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

// One colour, as a binary PPM, which MLT's image loader knows by its content.
void WriteStill(const fs::path& path, int r, int g, int b) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n64 48\n255\n";
  for (int i = 0; i < 64 * 48; ++i) out << char(r) << char(g) << char(b);
}

TEST(CollectPlaysTest, AMovedCollectedFolderPlaysTheSameFrames) {
  // MLT's Qt module (stills) needs a display name even when it draws off screen.
  setenv("DISPLAY", ":99", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Mlt::Factory::init();
  const test::TempFolder folder;
  fs::create_directories(folder.Folder() / "shoot/stills");
  WriteStill(folder.Folder() / "shoot/stills/red.png", 255, 0, 0);
  WriteStill(folder.Folder() / "shoot/stills/blue.png", 0, 0, 255);
  build::Project project;
  project.main = {{"E:\\Shoot\\stills\\red.png", 0, 29, 0, "still", 0, 0, {}},
                  {"E:\\Shoot\\stills\\blue.png", 0, 29, 0, "still", 0, 0, {}}};
  folder.Write("edit.mpj", build::BuildProject(project));
  NullObserver quiet;
  ExportJob original;
  original.source = folder.Path("edit.mpj");
  original.destination = folder.Path("original.mlt");
  original.maps = {"E:\\Shoot=" + folder.Path("shoot")};
  ASSERT_TRUE(RunExport(original, quiet).Completed());
  const test::Picture red = test::DocumentFrame(folder.Path("original.mlt"), 10);
  const test::Picture blue = test::DocumentFrame(folder.Path("original.mlt"), 45);
  ASSERT_FALSE(red.bytes.empty());

  CollectJob collect;
  collect.source = original.source;
  collect.folder = folder.Path("collected");
  collect.maps = original.maps;
  collect.formats = {"mlt", "otio", "fcpxml"};
  ASSERT_TRUE(RunCollect(collect, quiet).Completed());
  fs::rename(folder.Folder() / "collected", folder.Folder() / "elsewhere");
  fs::remove_all(folder.Folder() / "shoot");
  // The documents the collect wrote name the media from where they lie, so they still play;
  // the report names the one whose readers need whole paths.
  EXPECT_EQ(test::DocumentFrame(folder.Path("elsewhere/edit.mlt"), 10).bytes, red.bytes);
  EXPECT_EQ(test::DocumentFrame(folder.Path("elsewhere/edit.mlt"), 45).bytes, blue.bytes);
  EXPECT_NE(folder.Read("elsewhere/edit.otio").find("\"target_url\": \"media/red.png\""),
            std::string::npos)
      << folder.Read("elsewhere/edit.otio");
  EXPECT_NE(folder.Read("elsewhere/collect-report.txt")
                .find("editor relinks them by name "
                      "from media/): edit.fcpxml\n"),
            std::string::npos)
      << folder.Read("elsewhere/collect-report.txt");
  ExportJob moved;
  moved.source = folder.Path("elsewhere/edit.mpj");
  moved.destination = folder.Path("elsewhere/again.mlt");
  const RunResult exported = RunExport(moved, quiet);
  ASSERT_TRUE(exported.Completed()) << exported.message;
  EXPECT_TRUE(exported.warnings.empty()) << exported.warnings.front();

  EXPECT_EQ(test::DocumentFrame(folder.Path("elsewhere/again.mlt"), 10).bytes, red.bytes);
  EXPECT_EQ(test::DocumentFrame(folder.Path("elsewhere/again.mlt"), 45).bytes, blue.bytes);
  // The frames are the stills, not black or a placeholder.
  EXPECT_TRUE(test::Near(red.At(360, 240), {255, 0, 0}));
  EXPECT_TRUE(test::Near(blue.At(360, 240), {0, 0, 255}));
}

}  // namespace
}  // namespace pexol
