// tests/pages/PageRunTest.cpp - the pages' jobs on real files, and a run's progress relayed
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/pages/ConversionPages.h"
#include "app/pages/ExportPage.h"
#include "app/pages/FindPage.h"
#include "app/pages/MediaFolders.h"
#include "app/pages/RunRelay.h"
#include "app/pages/WindowRules.h"
#include "check/CheckOutcome.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::pages {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PageRuns : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / test::TestFolderName("pexol-pages-");
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(Path("demo.mpj"), std::ios::binary) << projectBytes;
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  static RunResult Run(Page& page, const MediaFolders& media = {}) {
    NullObserver quiet;
    return page.MakeRun(media)(quiet);
  }

  const std::string projectBytes = build::BuildProject(build::DemoProject());
  fs::path folder;
};

TEST_F(PageRuns, TextAndBackGiveTheProjectItCameFromInEitherEncoding) {
  for (const bool utf8 : {false, true}) {
    ToTextPage toText;
    toText.State().SetText(toText.source, Path("demo.mpj"));
    toText.State().SetText(toText.destination, Path("demo.txt"));
    toText.State().SetFlag(toText.utf8, utf8);
    const RunResult text = Run(toText);
    ASSERT_TRUE(text.Completed()) << text.message;
    EXPECT_EQ(text.chosenSoftware, Software::CorvaneBrisko);  // none ticked: chosen by the run

    ToProjectPage toProject;
    toProject.State().SetText(toProject.source, Path("demo.mpj"));
    toProject.State().SetText(toProject.text, Path("demo.txt"));
    toProject.State().SetText(toProject.destination, Path("back.mpj"));
    toProject.State().SetFlag(toProject.utf8, utf8);
    const RunResult back = Run(toProject);
    ASSERT_TRUE(back.Completed()) << back.message;
    EXPECT_EQ(ReadAll(Path("back.mpj")), projectBytes) << "utf8 " << utf8;
  }
}

TEST_F(PageRuns, TheEDLLayoutFollowsTheTimecodeAndCsvChoices) {
  ToTextPage page;
  page.State().SetText(page.source, Path("demo.mpj"));
  page.State().SetText(page.destination, Path("frames.txt"));
  page.State().SetValue(page.timecode, static_cast<int>(TimecodeMode::Frame));
  page.State().SetFlag(page.csv, true);
  ASSERT_TRUE(Run(page).Completed());
  page.State().SetText(page.destination, Path("drop.txt"));
  page.State().SetValue(page.timecode, static_cast<int>(TimecodeMode::NtscDrop));
  page.State().SetFlag(page.csv, false);
  ASSERT_TRUE(Run(page).Completed());
  const std::string frames = ReadAll(Path("frames.txt"));
  const std::string drop = ReadAll(Path("drop.txt"));
  EXPECT_NE(frames, drop);
  EXPECT_NE(frames.find(','), std::string::npos);
  EXPECT_NE(drop.find(';'), std::string::npos);  // drop-frame timecodes
}

TEST_F(PageRuns, AnExportTakesItsFormatFromTheNameUnlessOneIsTicked) {
  ExportPage page;
  page.State().SetText(page.source, Path("demo.mpj"));
  page.State().SetText(page.destination, Path("cut.edl"));
  ASSERT_TRUE(Run(page).Completed());
  EXPECT_EQ(ReadAll(Path("cut.edl")).rfind("TITLE:", 0), 0u);

  const auto formats = ExportFormats();
  int otio = 0;
  for (std::size_t f = 0; f < formats.size(); ++f)
    if (std::string_view(formats[f].name) == "otio") otio = static_cast<int>(f) + 1;
  page.State().SetValue(page.format, otio);
  page.State().SetText(page.destination, Path("cut.timeline"));
  const RunResult result = Run(page);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(ReadAll(Path("cut.timeline")).front(), '{');
}

// After an export the page shows what its format keeps differently, clip by clip, or that it
// keeps everything; in Japanese under the Japanese catalogue.
TEST_F(PageRuns, AnExportShowsWhatItsFormatKeepsDifferently) {
  ExportPage page;
  page.State().SetText(page.source, Path("demo.mpj"));
  page.State().SetText(page.destination, Path("cut.aaf"));
  const std::string shown = ResultMessage(Run(page), page.State()).text;
  EXPECT_NE(shown.find("\n\nWhat AAF (Media Composer, Pro Tools) keeps differently or cannot "
                       "keep:\n- Colour clips are black: the format has no colour clip its "
                       "editors share.\n  2 clips: "),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("\"Colour #FF0000\""), std::string::npos) << shown;

  build::Project still;
  still.main = {{"a.png", 0, 59, 0, "still", 0, 0, {}}};
  std::ofstream(Path("still.mpj"), std::ios::binary) << build::BuildProject(still);
  page.State().SetText(page.source, Path("still.mpj"));
  page.State().SetText(page.destination, Path("still.aaf"));
  EXPECT_NE(ResultMessage(Run(page), page.State())
                .text.find("AAF (Media Composer, Pro Tools) keeps everything this timeline holds."),
            std::string::npos);

  auto japanese = FindCatalogue("ja", PEXOL_BUILD_DIR);
  ASSERT_TRUE(japanese);
  UseCatalogue(std::move(japanese));
  page.State().SetText(page.source, Path("demo.mpj"));
  page.State().SetText(page.destination, Path("ja.aaf"));
  const std::string inJapanese = ResultMessage(Run(page), page.State()).text;
  UseCatalogue(std::nullopt);
  EXPECT_NE(inJapanese.find(
                "で異なる形で保持するもの、保持できないもの:\n- カラークリップは黒になります"),
            std::string::npos)
      << inJapanese;
  EXPECT_NE(inJapanese.find("クリップ 2 個: "), std::string::npos) << inJapanese;
  EXPECT_NE(inJapanese.find(" 「Colour #FF0000」"), std::string::npos) << inJapanese;
}

TEST_F(PageRuns, FindChecksWithTheMediaFoldersThenCollectsOnce) {
  FindPage page;
  page.State().SetText(page.source, Path("demo.mpj"));
  page.State().SetText(page.report, Path("missing.txt"));
  const RunResult check = Run(page, {{}, {folder.string()}});
  ASSERT_TRUE(check.Completed()) << check.message;
  EXPECT_GT(MissingCount(check), 0);
  EXPECT_FALSE(ReadAll(Path("missing.txt")).empty());

  page.Collect(Path("gathered"), {"otio"}, false);
  const RunResult collect = Run(page);
  ASSERT_TRUE(collect.Completed()) << collect.message;
  EXPECT_TRUE(fs::exists(folder / "gathered" / "demo.mpj"));
  EXPECT_TRUE(fs::exists(folder / "gathered" / "demo.otio"));
  // The next run is a check again.
  fs::remove(Path("missing.txt"));
  EXPECT_TRUE(Run(page).Completed());
  EXPECT_TRUE(fs::exists(Path("missing.txt")));
}

TEST_F(PageRuns, EveryPageFindsMediaWhereTheFindPagesCheckFoundThem) {
  fs::create_directories(folder / "found" / "deep");
  fs::create_directories(folder / "elsewhere");
  std::ofstream(folder / "found" / "deep" / "a.avi") << "x";
  std::ofstream(folder / "found" / "deep" / "b.avi") << "x";
  build::Project shape;
  shape.main = {{"C:\\Shoot\\a.avi", 0, 49, 0, "", 100, 100, {}},
                {"C:\\Shoot\\b.avi", 0, 49, 0, "", 100, 100, {}}};
  std::ofstream(Path("moved.mpj"), std::ios::binary) << build::BuildProject(shape);
  FindPage find;
  ExportPage exportPage;
  find.State().SetText(find.source, Path("moved.mpj"));
  find.State().SetText(find.searchFolder, (folder / "found").string());
  exportPage.State().SetText(exportPage.source, Path("moved.mpj"));
  exportPage.State().SetText(exportPage.destination, Path("moved.otio"));
  const MediaFolders setting{{}, {Path("elsewhere")}};
  const MediaFolders window = WindowMedia(setting, {&find.State(), &exportPage.State()});
  EXPECT_EQ(window.searchFolders,
            (std::vector<std::string>{Path("elsewhere"), (folder / "found").string()}));
  EXPECT_EQ(WindowMedia(window, {&find.State()}), window) << "listed once";

  const RunResult check = Run(find, window);
  ASSERT_TRUE(check.Completed()) << check.message;
  EXPECT_EQ(MissingCount(check), 0);
  const RunResult exported = Run(exportPage, window);
  ASSERT_TRUE(exported.Completed()) << exported.message;
  EXPECT_TRUE(exported.warnings.empty()) << exported.warnings.front();
  // The setting alone does not find them: the find page's folder is what did.
  EXPECT_FALSE(Run(exportPage, setting).warnings.empty());
  // The picture of any page searches there too.
  EXPECT_EQ(PictureToShow(exportPage.State(), window).searchFolders, window.searchFolders);
}

TEST(RunRelayTest, AWorkerWakesTheWindowOnceUntilItHasShownTheLatest) {
  std::vector<RunShown> shown;
  int wakes = 0;
  RunRelay relay(
      {"", 0, 200}, [&wakes] { ++wakes; }, [&shown](const RunShown& now) { shown.push_back(now); });
  std::thread worker([&relay] {
    for (int step = 1; step <= 1000; ++step) {
      relay.Status("[MainAV] " + std::to_string(step) + " / 1000");
      relay.Progress(step / 5, 200);
    }
  });
  worker.join();
  EXPECT_EQ(wakes, 1) << "one wake waits at a time";
  EXPECT_TRUE(shown.empty()) << "nothing is shown off the window's thread";
  relay.Flush();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].status, "[MainAV] 1000 / 1000");
  EXPECT_EQ(shown[0].done, 200);

  // On the window's own thread a cleared line shows at once; Cancel reaches the run.
  relay.Status("");
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_FALSE(relay.StopRequested());
  relay.RequestStop();
  EXPECT_TRUE(relay.StopRequested());
}

TEST(RunRelayTest, OnTheWindowsOwnThreadManyRecordsRepaintOnlyNowAndThen) {
  RunShown shown;
  RunRelay relay(
      {"", 0, 200}, [] {}, [&shown](const RunShown& now) { shown = now; });
  relay.Progress(0, 200);
  for (int i = 1; i <= 20000; ++i) {
    relay.Status("[BinWindow] " + std::to_string(i) + " / 20000");
    relay.Progress(i / 100, 200);
  }
  EXPECT_LT(relay.Repaints(), 200);
  EXPECT_EQ(shown.status, "[BinWindow] 20000 / 20000");  // the end is shown
  EXPECT_EQ(shown.done, 200);
}

}  // namespace
}  // namespace pexol::pages
