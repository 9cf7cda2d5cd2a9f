// tests/collect/CollectTest.cpp - projects collected into folders on real files: the layout, the
// rewritten names found after a move, refusals, a stop, links, and the command line under a
// file-size limit
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "check/MediaCheck.h"
#include "collect/FileDigest.h"
#include "collect/RunCollect.h"
#include "collect/TranscodePlan.h"
#include "core/Translation.h"
#include "model/MediaNames.h"
#include "support/CliRun.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tests/check/CheckProjects.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
using namespace test;

/// Every path below `folder`, relative, '/' separated.
std::set<std::string> Tree(const fs::path& folder) {
  std::set<std::string> paths;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    paths.insert(entry.path().lexically_relative(folder).generic_string());
  return paths;
}

class CollectTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Folder() / "footage/day1");
    fs::create_directories(folder.Folder() / "footage/Day2");
    fs::create_directories(folder.Folder() / "footage/day2");
    fs::create_directories(folder.Folder() / "project");
    folder.Write("footage/day1/a.avi", std::string(3000, 'a'));
    folder.Write("footage/Day2/b.avi", std::string(5000, 'b'));
    folder.Write("footage/day2/B.avi", std::string(7000, 'c'));  // one name with b.avi on Windows
    folder.Write("footage/day1/music.wav", std::string(100, 'm'));
    build::Project p;
    // The same file under a mapped and a relative name; a missing one; a name no map reaches.
    p.main = {ClipNamed("C:\\Shoot\\day1\\a.avi"), ClipNamed("C:\\Shoot\\Day2\\b.avi"),
              ClipNamed("C:\\Shoot\\day2\\B.avi"), ClipNamed("..\\footage\\day1\\a.avi"),
              ClipNamed("C:\\Shoot\\gone.avi")};
    p.exAudio1 = {AudioNamed("C:\\Shoot\\day1\\music.wav")};
    p.bin = {{"A", "C:\\Shoot\\day1\\a.avi"}};
    folder.Write("project/edit.mpj", build::BuildProject(p));
  }

  CollectJob Job(const std::string& into) const {
    CollectJob job;
    job.source = folder.Path("project/edit.mpj");
    job.folder = folder.Path(into);
    job.maps = {"C:\\Shoot=" + folder.Path("footage")};
    return job;
  }

  TempFolder folder;
  NullObserver quiet;
};

TEST_F(CollectTest, CopiesEachFileOnceBelowTheCommonFolderAndTheMovedFolderFindsThemAll) {
  CollectSummary summary;
  const RunResult result = RunCollect(Job("out"), quiet, &summary);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(Tree(folder.Folder() / "out"),
            (std::set<std::string>{"collect-report.txt", "edit.mpj", "media", "media/Day2",
                                   "media/Day2/b.avi", "media/day1", "media/day1/a.avi",
                                   "media/day1/music.wav", "media/day2", "media/day2/B-2.avi"}));
  EXPECT_EQ(summary.files, 4);
  EXPECT_EQ(summary.bytes, 15100u);
  EXPECT_EQ(summary.missing, 1);
  EXPECT_EQ(MissingCount(result), 1);  // the command line exits 1, as a check does
  EXPECT_EQ(folder.Read("out/media/day2/B-2.avi"), std::string(7000, 'c'));
  EXPECT_NE(summary.report.find("C:\\Shoot\\gone.avi\tlast tried: " + folder.Path("footage") +
                                "/gone.avi"),
            std::string::npos)
      << summary.report;
  EXPECT_EQ(folder.Read("out/collect-report.txt"), summary.report);

  // Moved whole, with the originals gone, the project still finds all it found before.
  fs::rename(folder.Folder() / "out", folder.Folder() / "moved");
  fs::remove_all(folder.Folder() / "footage");
  MediaCheckJob check;
  check.source = folder.Path("moved/edit.mpj");
  std::vector<std::string> found;
  check.onReference = [&](std::string_view stored, const MediaResolution& resolution) {
    if (resolution.status == MediaStatus::Found) found.emplace_back(stored);
  };
  const RunResult checked = RunMediaCheck(check, quiet);
  EXPECT_EQ(MissingCount(checked), 1) << checked.message;
  EXPECT_EQ(found, (std::vector<std::string>{"media\\day1\\a.avi", "media\\Day2\\b.avi",
                                             "media\\day2\\B-2.avi", "media\\day1\\a.avi",
                                             "media\\day1\\music.wav", "media\\day1\\a.avi"}));
}

TEST_F(CollectTest, RefusesAFolderThatIsNotEmptyAndLeavesItAsItWas) {
  fs::create_directory(folder.Folder() / "taken");
  folder.Write("taken/keep.txt", "mine");
  const RunResult refused = RunCollect(Job("taken"), quiet);
  EXPECT_FALSE(refused.Completed());
  EXPECT_NE(refused.message.find("not empty"), std::string::npos) << refused.message;
  EXPECT_EQ(Tree(folder.Folder() / "taken"), (std::set<std::string>{"keep.txt"}));

  // An empty folder is taken; a damaged project leaves it empty and nothing beside it.
  fs::create_directory(folder.Folder() / "empty");
  const std::string whole = folder.Read("project/edit.mpj");
  folder.Write("project/edit.mpj", whole.substr(0, whole.size() / 2));
  EXPECT_FALSE(RunCollect(Job("empty"), quiet).Completed());
  EXPECT_TRUE(fs::is_empty(folder.Folder() / "empty"));
  folder.Write("project/edit.mpj", whole);
  const std::size_t entries = folder.FileCount();
  ASSERT_TRUE(RunCollect(Job("empty"), quiet).Completed());
  EXPECT_TRUE(fs::exists(folder.Folder() / "empty/media/day1/a.avi"));
  EXPECT_EQ(folder.FileCount(), entries);
}

// Stops once the first bytes are copied, as Ctrl-C does.
class StopAfterFirstStep final : public RunObserver {
 public:
  void Status(std::string_view) override {}
  void Progress(int done, int) override { started_ = started_ || done > 10; }
  bool StopRequested() const override { return started_; }

 private:
  bool started_ = false;
};

TEST_F(CollectTest, AStopLeavesNoFolderAndTheExportsLeadIntoTheMediaFolder) {
  folder.Write("footage/day1/a.avi", std::string(3 << 20, 'a'));  // copied in several pieces
  const std::size_t entries = folder.FileCount();
  StopAfterFirstStep stop;
  const RunResult stopped = RunCollect(Job("out"), stop);
  EXPECT_EQ(stopped.status, RunResult::Status::Stopped) << stopped.message;
  EXPECT_EQ(folder.FileCount(), entries);

  CollectJob job = Job("out");
  job.formats = {"mlt", "otio"};
  ASSERT_TRUE(RunCollect(job, quiet).Completed());
  EXPECT_TRUE(fs::exists(folder.Folder() / "out/edit.mlt"));
  // From where the document lies, so that the folder can move.
  EXPECT_NE(folder.Read("out/edit.otio").find("\"media/day1/a.avi\""), std::string::npos)
      << folder.Read("out/edit.otio");
}

// The status each time the bar moves, as a progress line shows them together.
class StatusAtEachStep final : public RunObserver {
 public:
  void Status(std::string_view line) override { status_ = line; }
  void Progress(int done, int) override { steps.emplace_back(done, status_); }
  std::vector<std::pair<int, std::string>> steps;

 private:
  std::string status_;
};

// The bytes copied move with the bar while one large file is copied, not only between files.
TEST_F(CollectTest, TheBytesInTheStatusMoveWithTheBar) {
  folder.Write("footage/day1/a.avi", std::string(8 << 20, 'a'));  // eight pieces
  StatusAtEachStep observer;
  ASSERT_TRUE(RunCollect(Job("out"), observer).Completed());
  std::vector<std::pair<int, std::string>> copying;
  for (const auto& step : observer.steps)
    if (step.second.find(" files, ") != std::string::npos) copying.push_back(step);
  ASSERT_GT(copying.size(), 8u);
  for (std::size_t i = 1; i < copying.size(); ++i)
    EXPECT_NE(copying[i].second, copying[i - 1].second)
        << "at step " << copying[i].first << " the bar moved and the status did not";
  EXPECT_NE(copying.back().second.find("8.40 MB of 8.40 MB"), std::string::npos)
      << copying.back().second;
}

// Under the Japanese catalogue the screen's words change and the folder's files do not: the
// report and the exports are read by scripts and editors.
TEST_F(CollectTest, SaysItsMessagesInJapaneseAndWritesTheSameReportAndExports) {
  std::ifstream mo(std::string(PEXOL_LOCALE_DIR) + "/ja/LC_MESSAGES/pexol.mo", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(mo), {}};
  std::optional<Catalogue> japanese = Catalogue::Parse(bytes);
  ASSERT_TRUE(japanese) << "no Japanese catalogue in " << PEXOL_LOCALE_DIR;
  CollectJob job = Job("out");
  job.formats = {"otio", "fcpxml"};
  const auto collect = [&] {
    CollectSummary summary;
    RunResult result = RunCollect(job, quiet, &summary);
    EXPECT_TRUE(result.Completed()) << result.message;
    std::vector<std::string> files;
    for (const char* name : {"collect-report.txt", "edit.mpj", "edit.otio", "edit.fcpxml"})
      files.push_back(folder.Read(std::string("out/") + name));
    fs::remove_all(folder.Folder() / "out");
    return std::tuple{std::move(result), std::move(files), std::move(summary.shown)};
  };
  const auto [english, englishFiles, englishShown] = collect();
  EXPECT_EQ(englishShown, englishFiles[0]);
  EXPECT_EQ(english.message, "Collected 4 media files (15.1 kB) and the project into \"" +
                                 job.folder + "\"; 1 name not collected (see " + collectReportName +
                                 ")");

  struct English {
    ~English() { UseCatalogue(std::nullopt); }
  } restore;
  UseCatalogue(std::move(japanese));
  const auto [said, files, shown] = collect();
  // What was tried for the missing name is said in Japanese too, and kept English in the file.
  EXPECT_NE(shown.find("C:\\Shoot\\gone.avi\t最後に試したパス: "), std::string::npos) << shown;
  EXPECT_EQ(said.message, "素材ファイル 4 個 (15.1 kB) とプロジェクトを「" + job.folder +
                              "」に収集しました。1 件の名前は収集していません (" +
                              collectReportName + " を参照)");
  EXPECT_TRUE(std::any_of(said.warnings.begin(), said.warnings.end(), [](const std::string& w) {
    return w.starts_with("edit.otio: 「") &&
           w.ends_with("」がこのコンピューターで見つかりません。");
  })) << testing::PrintToString(said.warnings);
  EXPECT_EQ(files, englishFiles);
}

TEST_F(CollectTest, LeavesOutAFileWhoseNewNameShiftJisCannotHold) {
  fs::create_directories(folder.Folder() / "found/caf\u00e9");
  folder.Write("found/caf\u00e9/c.avi", "c");
  build::Project p;
  p.main = {ClipNamed("C:\\Shoot\\day1\\a.avi"), ClipNamed("c.avi")};
  folder.Write("project/edit.mpj", build::BuildProject(p));
  CollectJob job = Job("out");
  job.searchFolders = {folder.Path("found")};
  CollectSummary summary;
  const RunResult result = RunCollect(job, quiet, &summary);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(summary.files, 1);
  EXPECT_EQ(summary.leftOut, 1);
  EXPECT_EQ(MissingCount(result), 1);
  EXPECT_NE(summary.report.find("Left out (found, not copied) (1):\n  c.avi\tits new name "
                                "\"media\\found\\caf\u00e9\\c.avi\" holds \"\u00e9\" (U+00E9)"),
            std::string::npos)
      << summary.report;
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/media/found"));
}

// A folder whose name holds a byte that begins no Shift-JIS character (a drive copied with a
// damaged name): its files are collected under a name that shows the byte, and the collected
// project names them in Shift-JIS.
TEST_F(CollectTest, ANameThatDecodesToNothingIsCollectedUnderAVisibleEscape) {
  const std::string odd = "\x83\x8d\x83\x53\xff";  // ロゴ in Shift-JIS, then FF
  fs::create_directories(folder.Folder() / "found" / odd);
  folder.Write("found/" + odd + "/c.avi", "c");
  build::Project p;
  p.main = {ClipNamed("C:\\Shoot\\day1\\a.avi"), ClipNamed("C:\\Lost\\c.avi")};
  folder.Write("project/edit.mpj", build::BuildProject(p));
  CollectJob job = Job("out");
  job.searchFolders = {folder.Path("found")};
  CollectSummary summary;
  const RunResult result = RunCollect(job, quiet, &summary);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(summary.leftOut, 0) << summary.report;
  const std::string escaped = "\xe3\x83\xad\xe3\x82\xb4(xFF)";  // ロゴ(xFF)
  EXPECT_EQ(Tree(folder.Folder() / "out/media"),
            (std::set<std::string>{"footage", "footage/day1", "footage/day1/a.avi", "found",
                                   "found/" + escaped, "found/" + escaped + "/c.avi"}));
  EXPECT_NE(folder.Read("out/edit.mpj").find("media\\found\\\x83\x8d\x83\x53(xFF)\\c.avi"),
            std::string::npos);
  fs::rename(folder.Folder() / "out", folder.Folder() / "moved");
  MediaCheckJob check;
  check.source = folder.Path("moved/edit.mpj");
  EXPECT_EQ(MissingCount(RunMediaCheck(check, quiet)), 0);

  // Collected below a folder named in Shift-JIS, the documents that name the media from where
  // they lie hold only the UTF-8 names below it.
  fs::create_directory(folder.Folder() / odd);
  job.folder = folder.Path(odd + "/out");
  job.formats = {"mlt", "otio"};
  const RunResult below = RunCollect(job, quiet);
  EXPECT_TRUE(below.Completed()) << below.message;
  EXPECT_NE(folder.Read(odd + "/out/edit.mlt").find(">media/found/" + escaped + "/c.avi<"),
            std::string::npos);
}

// The folder is built beside the destination: when it cannot be, the message says beside what,
// and the system's reason is in the language of the sentence around it.
TEST_F(CollectTest, AFolderThatCannotBeBuiltIsNamedWithTheSystemsReasonInJapanese) {
  std::ifstream mo(std::string(PEXOL_LOCALE_DIR) + "/ja/LC_MESSAGES/pexol.mo", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(mo), {}};
  std::optional<Catalogue> japanese = Catalogue::Parse(bytes);
  ASSERT_TRUE(japanese) << "no Japanese catalogue in " << PEXOL_LOCALE_DIR;
  struct English {
    ~English() { UseCatalogue(std::nullopt); }
  } restore;
  UseCatalogue(std::move(japanese));
  // A destination whose path the system still takes, beside which the longer name of the
  // folder being built is too long for it (ENAMETOOLONG, which even root meets).
  fs::path deep = folder.Folder();
  while (deep.string().size() < 4090 - 200) deep /= std::string(200, 'd');
  deep /= std::string(4090 - deep.string().size() - 1, 'e');
  fs::create_directories(deep);
  CollectJob job = Job("out");
  job.folder = (deep / "o").string();
  const RunResult failed = RunCollect(job, quiet);
  ASSERT_EQ(failed.status, RunResult::Status::Failed) << failed.message;
  EXPECT_NE(
      failed.message.find("\xe3\x80\x8c" + job.folder + "\xe3\x80\x8d\xe3\x81\xae\xe9\x9a\xa3"),
      std::string::npos)  // 「FOLDER」の隣
      << failed.message;
  const std::string reason = failed.message.substr(failed.message.rfind(": ") + 2);
  EXPECT_EQ(reason.find("File name too long"), std::string::npos) << reason;
  EXPECT_GE(static_cast<unsigned char>(reason.front()), 0xE3) << reason;    // kana or kanji
  EXPECT_TRUE(failed.message.ends_with("\xe3\x80\x82")) << failed.message;  // 。
  EXPECT_EQ(failed.message.find("\xe3\x80\x82\xe3\x80\x82"), std::string::npos) << failed.message;
  EXPECT_TRUE(fs::is_empty(deep));

  // A reason that ends a sentence of its own (an export's message) takes no second stop.
  const std::string stem(250, 's');
  folder.Write("project/" + stem + ".mpj", folder.Read("project/edit.mpj"));
  job = Job("out");
  job.source = folder.Path("project/" + stem + ".mpj");
  job.formats = {"fcpxml"};  // its name would be 257 bytes long
  const RunResult exportFailed = RunCollect(job, quiet);
  ASSERT_EQ(exportFailed.status, RunResult::Status::Failed) << exportFailed.message;
  EXPECT_TRUE(exportFailed.message.ends_with("\xe3\x80\x82")) << exportFailed.message;
  EXPECT_EQ(exportFailed.message.find("\xe3\x80\x82\xe3\x80\x82"), std::string::npos)
      << exportFailed.message;
  EXPECT_FALSE(fs::exists(folder.Folder() / "out"));
}

TEST_F(CollectTest, TrimmedPiecesTakeNamesNoOtherFileHasAndTheClipsFramesMoveIntoThem) {
  folder.Write("footage/day1/a-1.avi", "another movie");
  build::Project p;
  p.main = {ClipNamed("C:\\Shoot\\day1\\a.avi"), ClipNamed("C:\\Shoot\\day1\\a.avi"),
            ClipNamed("C:\\Shoot\\day1\\a-1.avi")};
  p.main[0].in = 20, p.main[0].out = 29;
  p.main[1].in = 1000, p.main[1].out = 1009;
  p.main[2].in = 0, p.main[2].out = 9;
  p.bin = {{"A", "C:\\Shoot\\day1\\a.avi"}};
  p.bin[0].in = 0, p.bin[0].out = 2000;
  const std::string bytes = build::BuildProject(p);
  RunProgress progress(quiet);
  const Project project = ReadProject(test::AsBytes(bytes), {}, progress);
  ResolveOptions options;
  options.map.Add({"C:\\Shoot", folder.Path("footage")});
  MediaResolver resolver(options);
  CollectPlan plan = PlanCollect(project, resolver);
  PlanTranscodes(plan, project, {TranscodeKind::ProRes, true, 5});
  ASSERT_EQ(plan.files.size(), 2u);
  const CollectedFile& a = plan.files[0];
  ASSERT_EQ(a.pieces.size(), 2u);
  EXPECT_EQ(a.pieces[0].first, 15);
  EXPECT_EQ(a.pieces[0].last, 34);
  EXPECT_EQ(a.pieces[1].first, 995);
  EXPECT_EQ(a.pieces[1].last, 1014);
  // "a-1" was another movie's name: the first piece goes by another; no two names meet.
  std::set<std::string> names;
  for (const MoviePiece& piece : a.pieces) {
    EXPECT_TRUE(names.insert(piece.name).second) << piece.name;
    EXPECT_TRUE(names.insert(piece.output).second) << piece.output;
  }
  EXPECT_TRUE(names.insert(plan.files[1].relative).second) << plan.files[1].relative;
  EXPECT_TRUE(names.insert(plan.files[1].output).second) << plan.files[1].output;
  EXPECT_EQ(plan.files[1].relative, "a-1.avi");

  // Each clip names its piece, its frames counted from the piece's start; the bin's item is
  // kept within the piece that holds its in point.
  std::vector<std::tuple<std::string, std::int32_t, std::int32_t>> uses;
  RewriteMediaUses(
      project,
      [&](MediaUse& use) {
        const auto name = CollectedName(plan, use);
        uses.emplace_back(name.value_or("?"), use.in ? *use.in : -1, use.out ? *use.out : -1);
        return false;
      },
      [](std::string_view, std::string) {});
  const std::string first = "media\\" + a.pieces[0].name;
  const std::string second = "media\\" + a.pieces[1].name;
  using Use = std::tuple<std::string, std::int32_t, std::int32_t>;
  EXPECT_EQ(uses, (std::vector<Use>{Use{first, 5, 14}, Use{second, 5, 14},
                                    Use{"media\\a-1.avi", 0, 9}, Use{first, 0, 19}}));
}

TEST_F(CollectTest, ACollectedFoldersTranscodedMoviesAreCollectedAgainUnderTheNamesItGivesThem) {
  // A folder as a transcoding collect leaves it: the project names an AVI, a QuickTime file
  // lies beside that name.
  fs::create_directories(folder.Folder() / "first/media");
  folder.Write("first/media/take.mov", "quicktime bytes");
  build::Project p;
  p.main = {ClipNamed("media\\take.avi")};
  folder.Write("first/edit.mpj", build::BuildProject(p));
  CollectJob job;
  job.source = folder.Path("first/edit.mpj");
  job.folder = folder.Path("second");
  const RunResult result = RunCollect(job, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(MissingCount(result), 0) << result.message;
  EXPECT_EQ(folder.Read("second/media/take.mov"), "quicktime bytes");
  EXPECT_FALSE(fs::exists(folder.Folder() / "second/media/take.avi"));
  MediaCheckJob check;
  check.source = folder.Path("second/edit.mpj");
  std::vector<std::string> found;
  check.onReference = [&](std::string_view stored, const MediaResolution& resolution) {
    if (resolution.status == MediaStatus::Found) found.emplace_back(stored);
  };
  EXPECT_EQ(MissingCount(RunMediaCheck(check, quiet)), 0);
  EXPECT_EQ(found, (std::vector<std::string>{"media\\take.avi"}));
}

TEST(Sha256Test, GivesTheStandardDigestsAcrossPieces) {
  Sha256 empty;
  EXPECT_EQ(empty.HexDigest(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  Sha256 pieces;
  pieces.Add("a", 1);
  pieces.Add("bc", 2);
  EXPECT_EQ(pieces.HexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(CollectTest, LinksWhereAsked) {
  CollectJob job = Job("linked");
  job.link = true;
  CollectSummary summary;
  ASSERT_TRUE(RunCollect(job, quiet, &summary).Completed());
  EXPECT_EQ(summary.linked, 4);
  EXPECT_EQ(fs::hard_link_count(folder.Folder() / "linked/media/day1/a.avi"), 2u);
  EXPECT_NE(summary.report.find("4 as hard links"), std::string::npos) << summary.report;
}

TEST_F(CollectTest, ACopyCutShortByAFileSizeLimitFailsAndLeavesNothing) {
  folder.Write("footage/Day2/b.avi", std::string(200000, 'b'));
  const std::size_t entries = folder.FileCount();
  // 100 blocks of 512 bytes: the large copy fails half-way with EFBIG.
  const CliOutcome run =
      RunCli(PEXOL_CLI, folder,
             "collect project/edit.mpj out --map 'C:\\Shoot=" + folder.Path("footage") + "'",
             "ulimit -f 100;");
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("b.avi"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("nothing was left behind"), std::string::npos) << run.err;
  EXPECT_EQ(folder.FileCount(), entries);

  const CliOutcome done = RunCli(
      PEXOL_CLI, folder,
      "collect project/edit.mpj out --format mlt --map 'C:\\Shoot=" + folder.Path("footage") + "'");
  EXPECT_EQ(done.exitCode, 1) << done.err;  // one name is missing
  EXPECT_NE(done.out.find("Copied: 4 media files, 210.1 kB"), std::string::npos) << done.out;
  EXPECT_NE(done.out.find("Missing (1):"), std::string::npos) << done.out;
}

}  // namespace
}  // namespace pexol
