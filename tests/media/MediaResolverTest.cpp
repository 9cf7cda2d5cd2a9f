// tests/media/MediaResolverTest.cpp - each lookup step on a generated tree of real files
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/RunFailure.h"
#include "media/MediaResolver.h"
#include "media/SearchIndex.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

// Shift-JIS bytes: ビデオ, 表示 (95 5C ends in '\'), ソファ (83 5C), 運動会.
const std::string video = "\x83\x72\x83\x66\x83\x49";
const std::string display = "\x95\x5C\x8E\xA6";
const std::string sofa = "\x83\x5C\x83\x74\x83\x40";
const std::string sportsDay = "\x89\x5E\x93\xAE\x89\xEF";

class MediaResolverTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* file :
         {"project/clips/scene2.avi", "project/運動会.AVI", "project/Both.avi", "project/bOTH.avi",
          "video/表示/ソファ.avi", "video2/ソファ.avi", "search/a/x/dup.avi", "search/b/y/dup.avi",
          "search/deep/er/Unique.avi", "search/e/same.avi", "elsewhere/target.avi"})
      Touch(file);
    Touch("project/" + sportsDay + ".avi");  // copied with its Shift-JIS name
    fs::create_directories(Path("project/folder.avi"));
    fs::create_directories(Path("search/folder2.avi"));
    fs::create_symlink("..", Path("search/deep/loop"));
    fs::create_symlink("../../elsewhere/target.avi", Path("search/e/link.avi"));
    fs::create_directories(Path("search/f"));
    fs::create_symlink("../e/same.avi", Path("search/f/same.avi"));
  }

  std::string Path(const std::string& name) const { return temp_.Path(name); }
  void Touch(const std::string& name) const {
    fs::create_directories(fs::path(Path(name)).parent_path());
    temp_.Write(name, "media");
  }
  ResolveOptions Options() const {
    ResolveOptions options;
    options.projectFolder = Path("project");
    std::string error;
    options.map.Add(*ParseMapRule("C:\\ビデオ=" + Path("video"), error));
    options.map.Add(*ParseMapRule("C:\\ビデオ\\表示\\old=" + Path("video2"), error));
    options.searchFolders = {Path("search")};
    return options;
  }

  test::TempFolder temp_;
};

TEST_F(MediaResolverTest, StepOneFindsTheBytesAsStored) {
  MediaResolver resolver(Options());
  const MediaResolution relative = resolver.Resolve(sportsDay + ".avi");
  EXPECT_EQ(relative.status, MediaStatus::Found);
  EXPECT_EQ(relative.step, 1);
  EXPECT_EQ(relative.path, Path("project/" + sportsDay + ".avi"));
  EXPECT_EQ(resolver.Resolve(Path("elsewhere/target.avi")).step, 1);
}

TEST_F(MediaResolverTest, StepTwoDecodesAndAppliesTheLongestMapRule) {
  MediaResolver resolver(Options());
  const MediaResolution mapped =
      resolver.Resolve("C:\\" + video + "\\" + display + "\\" + sofa + ".avi");
  EXPECT_EQ(mapped.status, MediaStatus::Found);
  EXPECT_EQ(mapped.step, 2);
  EXPECT_EQ(mapped.path, Path("video/表示/ソファ.avi"));
  const MediaResolution longer =
      resolver.Resolve("C:/" + video + "/" + display + "/old/" + sofa + ".avi");
  EXPECT_EQ(longer.path, Path("video2/ソファ.avi"));
  const MediaResolution relative = resolver.Resolve(sportsDay + ".AVI");
  EXPECT_EQ(relative.step, 2);
  EXPECT_EQ(relative.path, Path("project/運動会.AVI"));
}

TEST_F(MediaResolverTest, ACollectedMovieIsFoundAsItsTranscodedTwinWhereItsAviIsNot) {
  Touch("project/media/take.mov");
  Touch("video/表示/old.mov");
  MediaResolver resolver(Options());
  const MediaResolution twin = resolver.Resolve("media\\take.avi");
  EXPECT_EQ(twin.status, MediaStatus::Found);
  EXPECT_EQ(twin.path, Path("project/media/take.mov"));
  // Only a name from the project's own folder: an archive's absolute names are as they are.
  EXPECT_EQ(resolver.Resolve("C:\\" + video + "\\" + display + "\\old.avi").status,
            MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve("media\\take.png").status, MediaStatus::Missing);
}

TEST_F(MediaResolverTest, StepThreeMatchesEachComponentInAnyCase) {
  MediaResolver resolver(Options());
  const MediaResolution scene = resolver.Resolve("CLIPS\\Scene2.AVI");
  EXPECT_EQ(scene.status, MediaStatus::Found);
  EXPECT_EQ(scene.step, 3);
  EXPECT_EQ(scene.path, Path("project/clips/scene2.avi"));
  EXPECT_EQ(resolver.Resolve("c:\\" + video + "\\" + display + "\\" + sofa + ".AVI").path,
            Path("video/表示/ソファ.avi"));
  EXPECT_EQ(resolver.Resolve("Both.avi").step, 1);  // the same-case file wins outright

  const MediaResolution tie = resolver.Resolve("BOTH.AVI");
  EXPECT_EQ(tie.status, MediaStatus::Ambiguous);
  EXPECT_EQ(tie.step, 3);
  EXPECT_EQ(tie.candidates,
            (std::vector<std::string>{Path("project/Both.avi"), Path("project/bOTH.avi")}));

  ResolveOptions exact = Options();
  exact.caseInsensitive = false;
  EXPECT_EQ(MediaResolver(exact).Resolve("CLIPS\\Scene2.AVI").status, MediaStatus::Missing);
}

TEST_F(MediaResolverTest, StepFourPrefersTheBestMatchingTrailingFolders) {
  MediaResolver resolver(Options());
  const MediaResolution unique = resolver.Resolve("E:\\Old\\UNIQUE.avi");
  EXPECT_EQ(unique.step, 4);
  EXPECT_EQ(unique.path, Path("search/deep/er/Unique.avi"));
  EXPECT_EQ(resolver.Resolve("D:\\old\\X\\dup.avi").path, Path("search/a/x/dup.avi"));
  EXPECT_EQ(resolver.Resolve("D:\\b\\Y\\dup.avi").path, Path("search/b/y/dup.avi"));

  const MediaResolution tie = resolver.Resolve("D:\\old\\z\\dup.avi");
  EXPECT_EQ(tie.status, MediaStatus::Ambiguous);
  EXPECT_EQ(tie.step, 4);
  EXPECT_EQ(tie.path, "D:/old/z/dup.avi");
  EXPECT_EQ(tie.candidates,
            (std::vector<std::string>{Path("search/a/x/dup.avi"), Path("search/b/y/dup.avi")}));

  // A link to a file counts as that file, and a file and a link to it are one file.
  EXPECT_EQ(resolver.Resolve("F:\\link.avi").path, Path("search/e/link.avi"));
  const MediaResolution same = resolver.Resolve("G:\\same.avi");
  EXPECT_EQ(same.status, MediaStatus::Found);
  EXPECT_EQ(same.path, Path("search/e/same.avi"));
}

TEST_F(MediaResolverTest, FoldersAndUnusableNamesNeverCount) {
  MediaResolver resolver(Options());
  EXPECT_EQ(resolver.Resolve("folder.avi").status, MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve("FOLDER.AVI").status, MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve("X:\\folder2.avi").status, MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve("").status, MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve(std::string("clips\\scene2.avi\0x", 18)).status, MediaStatus::Missing);

  const MediaResolution broken = resolver.Resolve("E:\\\x80none.avi");
  EXPECT_EQ(broken.status, MediaStatus::Missing);
  EXPECT_FALSE(broken.decoded);
  EXPECT_EQ(broken.path, "E:/\xEF\xBF\xBDnone.avi");
}

TEST_F(MediaResolverTest, TheSearchFoldersAreReadOnceWhenFirstNeeded) {
  MediaResolver resolver(Options());
  EXPECT_EQ(resolver.Resolve("clips\\scene2.avi").step, 2);
  Touch("search/late/early.avi");  // there before any name needed the search
  EXPECT_EQ(resolver.Resolve("H:\\early.avi").step, 4);
  Touch("search/late/later.avi");
  EXPECT_EQ(resolver.Resolve("H:\\later.avi").status, MediaStatus::Missing);

  // A stop asked for during the walk ends it at the next folder.
  ResolveOptions stopping = Options();
  int folders = 0;
  stopping.stopRequested = [&folders] { return ++folders > 1; };
  MediaResolver stopped(std::move(stopping));
  EXPECT_THROW(stopped.Resolve("H:\\early.avi"), RunStopped);
}

TEST_F(MediaResolverTest, LoopsEndAndUnreadableFoldersWarn) {
  std::vector<std::string> warnings;
  const SearchIndex index({Path("search"), Path("search/deep"), Path("nowhere")}, true, {},
                          warnings);
  EXPECT_EQ(index.FileCount(), 6u);  // each file once, through the loop and both roots
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("nowhere"), std::string::npos);

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  Touch("search/locked/hidden.avi");
  fs::permissions(Path("search/locked"), fs::perms::none);
  ResolveOptions options = Options();
  MediaResolver resolver(options);
  EXPECT_EQ(resolver.Resolve("H:\\hidden.avi").status, MediaStatus::Missing);
  EXPECT_EQ(resolver.Resolve("H:\\Unique.avi").status, MediaStatus::Found);
  ASSERT_EQ(resolver.Warnings().size(), 1u);
  EXPECT_NE(resolver.Warnings()[0].find("locked"), std::string::npos);
  fs::permissions(Path("search/locked"), fs::perms::owner_all);
}

}  // namespace
}  // namespace pexol
