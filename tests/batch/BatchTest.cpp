// tests/batch/BatchTest.cpp - batches over generated projects (good, damaged, with media missing)
// through the command line: report and exit status, the second run, a plan run by xargs and a
// Slurm plan's tasks
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/CliRun.h"
#include "support/OldMedia.h"
#include "support/ProcessCommandLines.h"
#include "support/TempFolder.h"
#include "tests/check/CheckProjects.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
using namespace test;

// The poster frames the jobs' pictures decode are kept in a folder of the tests, not in the
// user's cache folder.
[[maybe_unused]] const bool postersCachedAside = [] {
  const fs::path cache = fs::temp_directory_path() / "pexol-batch-test-cache";
  return setenv("XDG_CACHE_HOME", cache.c_str(), 1) == 0;
}();

/// Every file below `folder` with its bytes.
std::map<std::string, std::string> Files(const TempFolder& folder, const std::string& below) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder.Folder() / below))
    if (entry.is_regular_file())
      files[entry.path().lexically_relative(folder.Folder() / below).generic_string()] =
          folder.Read((fs::path(below) / entry.path().lexically_relative(folder.Folder() / below))
                          .string());
  return files;
}

nlohmann::json ReportOf(const std::string& out, const TempFolder& folder) {
  return nlohmann::json::parse(folder.Read(out + "/report.json"));
}

/// The files of `batch` and `planned` alike but for the output folder's own name, which the
/// exports write as absolute paths.
void ExpectSameOutputs(const TempFolder& folder, const std::string& batchOut,
                       const std::string& plannedOut) {
  std::map<std::string, std::string> batch = Files(folder, batchOut);
  std::map<std::string, std::string> planned = Files(folder, plannedOut);
  ASSERT_EQ(batch.size(), planned.size());
  for (auto& [name, bytes] : batch) {
    std::string expected = bytes;
    for (std::size_t at = 0; (at = expected.find(folder.Path(batchOut), at)) != std::string::npos;)
      expected.replace(at, folder.Path(batchOut).size(), folder.Path(plannedOut));
    EXPECT_EQ(planned[name], expected) << name;
  }
}

class BatchTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Folder() / "archive/2019/wedding");
    fs::create_directories(folder.Folder() / "archive/2020");
    folder.Write("archive/2019/wedding/clip.avi", "x");
    build::Project good;
    good.main = {ClipNamed("clip.avi")};
    good.main[0].out = 90;
    folder.Write("archive/2019/wedding/edit.mpj", build::BuildProject(good));
    folder.Write("archive/2019/Other.MPJ", build::BuildProject(good));  // clip.avi is not here
    const std::string whole = build::BuildProject(build::DemoProject());
    folder.Write("archive/2020/damaged.mpj", whole.substr(0, 200));
    folder.Write("archive/2020/notes.txt", "not a project");
  }

  nlohmann::json Report(const std::string& out) const { return ReportOf(out, folder); }

  TempFolder folder;
};

TEST_F(BatchTest, ReportsEachProjectAndExitsByTheWorstAndASecondRunSkipsWhatWasDone) {
  const std::string args = "batch archive --out out --format otio --text --jobs 2";
  const CliOutcome first = RunCli(PEXOL_CLI, folder, args);
  EXPECT_EQ(first.exitCode, 2) << first.err;
  const nlohmann::json report = Report("out");
  EXPECT_EQ(report["projects"], 3);
  EXPECT_EQ(report["succeeded"], 1);
  EXPECT_EQ(report["missing"], 1);
  EXPECT_EQ(report["failed"], 1);
  const auto& results = report["results"];
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0]["into"], "2019/Other");
  EXPECT_EQ(results[0]["status"], "missing");
  EXPECT_EQ(results[0]["missing"], nlohmann::json::array({"clip.avi"}));
  EXPECT_EQ(results[1]["into"], "2019/wedding/edit");
  EXPECT_EQ(results[1]["status"], "succeeded");
  EXPECT_EQ(results[1]["clips"], 1);
  EXPECT_EQ(results[1]["outputs"],
            nlohmann::json::array({"2019/wedding/edit/edit.otio", "2019/wedding/edit/edit.txt",
                                   "2019/wedding/edit/edit.svg"}));
  EXPECT_EQ(results[2]["into"], "2020/damaged");
  EXPECT_EQ(results[2]["status"], "failed");
  EXPECT_NE(results[2]["failures"][0].get<std::string>().find("ends too early"), std::string::npos);
  // Each output is what the single command writes.
  const CliOutcome single =
      RunCli(PEXOL_CLI, folder, "to-text archive/2019/wedding/edit.mpj t.txt");
  EXPECT_EQ(single.exitCode, 0) << single.err;
  EXPECT_EQ(folder.Read("t.txt"), folder.Read("out/2019/wedding/edit/edit.txt"));
  const std::string html = folder.Read("out/report.html");
  EXPECT_NE(html.find("<img src=\"2019/wedding/edit/edit.svg\""), std::string::npos);
  EXPECT_NE(
      html.find("<a href=\"2019/wedding/edit/edit.otio\" title=\"2019/wedding/edit/edit.otio\">"
                "edit.otio</a>"),
      std::string::npos)
      << html;
  EXPECT_EQ(html.find("<script"), std::string::npos);

  // The second run redoes only the failed project; a touched one is done again, and all with
  // --force.
  const auto before = fs::last_write_time(folder.Folder() / "out/2019/wedding/edit/edit.otio");
  const CliOutcome second = RunCli(PEXOL_CLI, folder, args);
  EXPECT_EQ(second.exitCode, 2);
  EXPECT_NE(second.err.find("(2 done before, skipped)"), std::string::npos) << second.err;
  EXPECT_EQ(fs::last_write_time(folder.Folder() / "out/2019/wedding/edit/edit.otio"), before);
  fs::last_write_time(folder.Folder() / "archive/2019/Other.MPJ",
                      fs::file_time_type::clock::now() + std::chrono::seconds(5));
  const CliOutcome touched = RunCli(PEXOL_CLI, folder, args);
  EXPECT_NE(touched.err.find("(1 done before, skipped)"), std::string::npos) << touched.err;
  EXPECT_EQ(Report("out"), report);
  const CliOutcome forced = RunCli(PEXOL_CLI, folder, args + " --force");
  EXPECT_EQ(forced.err.find("done before"), std::string::npos) << forced.err;
  EXPECT_NE(fs::last_write_time(folder.Folder() / "out/2019/wedding/edit/edit.otio"), before);
}

TEST(BatchTranscodeTest, EachProjectIsCollectedWithItsMoviesTranscodedAndItsExportsBesideThem) {
  TempFolder folder;
  fs::create_directories(folder.Folder() / "archive/party");
  ASSERT_TRUE(MakeDvAvi(folder.Folder() / "archive/party/clip.avi", 60));
  build::Project project;
  project.main = {ClipNamed("clip.avi")};
  project.main[0].in = 30, project.main[0].out = 39;
  folder.Write("archive/party/edit.mpj", build::BuildProject(project));
  const std::string args =
      "batch archive --out out --format otio --transcode h264 --trim --handles 2";
  const CliOutcome first = RunCli(PEXOL_CLI, folder, args);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(ReportOf("out", folder)["results"][0]["outputs"],
            nlohmann::json::array(
                {"party/edit/edit/edit.otio", "party/edit/edit/edit.mpj", "party/edit/edit.svg"}));
  // Frames 28-41 of the movie, in H.264; the export names that file.
  EXPECT_TRUE(fs::exists(folder.Folder() / "out/party/edit/edit/media/clip.mp4"));
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/party/edit/edit/media/clip.avi"));
  EXPECT_NE(folder.Read("out/party/edit/edit/edit.otio").find("\"target_url\": \"media/clip.mp4\""),
            std::string::npos);
  // Done is done; a forced run puts a whole new folder in the old one's place.
  const CliOutcome second = RunCli(PEXOL_CLI, folder, args);
  EXPECT_NE(second.out.find("(1 done before, skipped)"), std::string::npos) << second.out;
  const CliOutcome forced = RunCli(PEXOL_CLI, folder, args + " --force");
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_TRUE(fs::exists(folder.Folder() / "out/party/edit/edit/media/clip.mp4"));
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/party/edit/edit.pexol-new"));
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/party/edit/edit.pexol-old"));
  // A trim needs a transcode.
  EXPECT_NE(RunCli(PEXOL_CLI, folder, "batch archive --out out2 --trim").exitCode, 0);
}

// The demo's warnings come from every export: each is listed once, with the exports that gave
// it. Positions no timeline has (a day long, before the start) give no length. A rerun without
// a format removes that format's file, and nothing a result names outside the project's folder.
TEST(BatchReportTest, WarningsOnceUnknownLengthsAndOutputsNoLongerAskedForRemoved) {
  TempFolder folder;
  fs::create_directories(folder.Folder() / "archive");
  folder.Write("archive/demo.mpj", build::BuildProject(build::DemoProject()));
  build::Project long_;
  long_.main = {ClipNamed("clip.avi")};
  long_.main[0].out = 24 * 107892;
  folder.Write("archive/long.mpj", build::BuildProject(long_));
  build::Project early;
  early.main = {ClipNamed("clip.avi")};
  early.main[0].out = 90;
  early.insert = {ClipNamed("over.avi")};
  early.insert[0].out = 30;
  early.insert[0].begin = -50;
  // Its name has characters a link must encode.
  folder.Write("archive/early #2.mpj", build::BuildProject(early));
  const CliOutcome first = RunCli(
      PEXOL_CLI, folder, "batch archive --out out --format otio --format mlt --format cmx3600");
  EXPECT_EQ(first.exitCode, 1) << first.err;
  EXPECT_TRUE(fs::exists(folder.Folder() / "out/demo/demo-insert.edl"));
  const nlohmann::json results = ReportOf("out", folder)["results"];
  ASSERT_EQ(results.size(), 3u);
  std::set<std::string> messages;
  for (const auto& warning : results[0]["warnings"])
    EXPECT_TRUE(messages.insert(warning["message"].get<std::string>()).second) << warning;
  // Beside each export, what its format keeps differently: the demo's clip that starts before
  // its media by each of them, the EDL's titles left out by it alone; one clip kept whole.
  const nlohmann::json& notes = results[0]["notes"];
  ASSERT_EQ(notes.size(), 3u) << results[0];
  const std::vector<std::string> formats = {"otio", "mlt", "cmx3600"};
  for (std::size_t f = 0; f < formats.size(); ++f) {
    EXPECT_EQ(notes[f]["format"], formats[f]);
    EXPECT_EQ(notes[f]["output"], results[0]["outputs"][f]);
    EXPECT_EQ(notes[f]["keepsEverything"], false);
    std::set<std::string> kinds;
    for (const auto& note : notes[f]["notes"]) {
      kinds.insert(note["kind"].get<std::string>());
      if (note["kind"] == "in-before-media") {
        EXPECT_EQ(note["clips"],
                  nlohmann::json::parse(R"([{"record": "00:00:46;20", "name": "outro.avi"}])"));
      }
    }
    EXPECT_TRUE(kinds.contains("in-before-media")) << notes[f];
    EXPECT_EQ(kinds.contains("titles-left-out"), formats[f] == "cmx3600") << notes[f];
  }
  for (const auto& kept : results[2]["notes"]) EXPECT_EQ(kept["keepsEverything"], true) << kept;
  EXPECT_EQ(results[0]["length"], "00:00:53;15");
  for (const int unknown : {1, 2}) {
    EXPECT_TRUE(results[unknown]["frames"].is_null()) << results[unknown];
    EXPECT_TRUE(results[unknown]["length"].is_null()) << results[unknown];
  }
  std::string html = folder.Read("out/report.html");
  std::size_t unknowns = 0;
  for (std::size_t at = 0; (at = html.find(">unknown</dd>", at)) != std::string::npos; ++at)
    ++unknowns;
  EXPECT_EQ(unknowns, 2u);
  EXPECT_NE(html.find("<a href=\"early%20%232/early%20%232.svg\""), std::string::npos);
  EXPECT_NE(html.find("<h3>What each editor gets</h3>\n<div class=\"kept\"><p><a "
                      "href=\"demo/demo.otio\">demo.otio</a> <span class=\"format\">"
                      "(OpenTimelineIO)</span> keeps differently or cannot keep:</p><ul>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<li data-kind=\"titles-left-out\">Titles are left out, with the images "
                      "they show: the format has no titles.<br><span class=\"clips\">1 clip: "
                      "00:00:04;00 &ldquo;"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("(CMX 3600)</span> keeps everything this timeline holds.</p>"),
            std::string::npos);

  // The demo's result, as if edited or brought from elsewhere, names files outside its folder.
  fs::create_directories(folder.Folder() / "elsewhere");
  folder.Write("elsewhere/kept.txt", "keep");
  folder.Write("out/kept.txt", "keep");
  fs::create_directory_symlink(folder.Folder() / "elsewhere", folder.Folder() / "out/demo/link");
  nlohmann::json old = nlohmann::json::parse(folder.Read("out/demo/pexol-result.json"));
  for (const std::string& outside :
       {std::string("kept.txt"), std::string("demo/../kept.txt"), folder.Path("out/kept.txt"),
        std::string("demo/link/kept.txt")})
    old["outputs"].push_back(outside);
  folder.Write("out/demo/pexol-result.json", old.dump());
  const CliOutcome second = RunCli(PEXOL_CLI, folder, "batch archive --out out --format mlt");
  EXPECT_EQ(second.exitCode, 1) << second.err;
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/demo/demo.otio"));
  // The EDL's files beside it go with it.
  for (const auto& file : fs::directory_iterator(folder.Folder() / "out/demo"))
    EXPECT_NE(file.path().extension(), ".edl") << file.path();
  EXPECT_TRUE(fs::exists(folder.Folder() / "out/demo/demo.mlt"));
  EXPECT_EQ(folder.Read("out/kept.txt"), "keep");
  EXPECT_EQ(folder.Read("elsewhere/kept.txt"), "keep");
  const nlohmann::json report = ReportOf("out", folder);
  EXPECT_EQ(report["removed"], 9);
  const nlohmann::json& demo = report["results"][0];
  EXPECT_EQ(demo["removed"],
            nlohmann::json::array({"demo/demo.otio", "demo/demo.edl", "demo/demo-insert.edl",
                                   "demo/demo-exaudio1.edl", "demo/demo-exaudio2.edl"}));
  std::size_t leftAlone = 0;
  for (const auto& warning : demo["warnings"])
    if (warning["concerns"] == nlohmann::json::array({"removal"})) ++leftAlone;
  EXPECT_EQ(leftAlone, 4u) << demo["warnings"];
  EXPECT_FALSE(fs::exists(folder.Folder() / "out/demo/pexol-result.earlier.json"));
  html = folder.Read("out/report.html");
  EXPECT_NE(html.find("<span class=\"n\">9</span>old outputs removed"), std::string::npos);
  EXPECT_NE(html.find("<li>demo/<wbr>demo.otio</li>"), std::string::npos);
  // A third run has nothing more to remove.
  ASSERT_EQ(RunCli(PEXOL_CLI, folder, "batch archive --out out --format mlt --force").exitCode, 1);
  EXPECT_EQ(ReportOf("out", folder)["removed"], 0);
}

// The progress counts the jobs that run from the start, with one estimate (the line's) and
// no percentage of its own; --quiet leaves only the failed project and the closing line, on
// standard error.
TEST_F(BatchTest, TheProgressCountsTheRunningJobsAndQuietTellsOnlyFailures) {
  const CliOutcome json =
      RunCli(PEXOL_CLI, folder, "batch archive --out out --format otio --jobs 2 --progress=json");
  EXPECT_EQ(json.exitCode, 2) << json.err;
  std::vector<std::string> statuses;
  std::istringstream lines(json.err);
  for (std::string line; std::getline(lines, line);) {
    const auto object = nlohmann::json::parse(line, nullptr, false);
    // The closing line stays plain text.
    if (object.is_object() && object.value("type", "") == "progress" && object.contains("status"))
      statuses.push_back(object["status"]);
  }
  ASSERT_FALSE(statuses.empty()) << json.err;
  EXPECT_EQ(statuses.front(), "[Batch] 0 / 3 done, 0 failed, 2 running");
  for (const std::string& status : statuses) {
    EXPECT_EQ(status.find('%'), std::string::npos) << status;
    EXPECT_EQ(status.find("left"), std::string::npos) << status;
  }

  const CliOutcome quiet =
      RunCli(PEXOL_CLI, folder, "batch archive --out quiet --format otio --jobs 2 -q");
  EXPECT_EQ(quiet.exitCode, 2);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err.rfind("failed\t2020/damaged\t", 0), 0u) << quiet.err;
  EXPECT_EQ(std::count(quiet.err.begin(), quiet.err.end(), '\n'), 2) << quiet.err;
  EXPECT_NE(quiet.err.find("\nbatch: 3 projects: 1 succeeded"), std::string::npos) << quiet.err;
}

TEST_F(BatchTest, APlanRunByXargsGivesTheSameOutputsAndReport) {
  const std::string options = " --out out --format mlt --format cmx3600";
  ASSERT_EQ(RunCli(PEXOL_CLI, folder, "batch archive" + options).exitCode, 2);
  const CliOutcome plan = RunCli(PEXOL_CLI, folder,
                                 "batch archive --out planned --format mlt "
                                 "--format cmx3600 --plan");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  folder.Write("plan.txt", plan.out);
  EXPECT_EQ(std::count(plan.out.begin(), plan.out.end(), '\n'), 3);
  const CliOutcome ran =
      RunCli(PEXOL_CLI, folder, "", "xargs -P 2 -d '\\n' -n 1 sh -c 'eval \"$0\"' <plan.txt; ");
  const CliOutcome report = RunCli(PEXOL_CLI, folder, "batch --report-only --out planned");
  EXPECT_EQ(report.exitCode, 2) << report.err;
  ExpectSameOutputs(folder, "out", "planned");
}

// A folder named in Shift-JIS bytes: each JSON line is read by Python's json module and run by
// its subprocess with the exact bytes, and "argvBytes" gives the same bytes back.
TEST_F(BatchTest, APlanInJsonOverShiftJisFoldersIsReadAndRunByPython) {
  const std::string sportsDay = "\x89\x5e\x93\xae\x89\xef";  // 運動会
  fs::rename(folder.Folder() / "archive/2019/wedding",
             folder.Folder() / "archive/2019" / sportsDay);
  // Formats that hold the names' bytes (XML refuses them), so that the project completes.
  const std::string formats = " --format cmx3600 --text";
  ASSERT_EQ(RunCli(PEXOL_CLI, folder, "batch archive --out out" + formats).exitCode, 2);
  const CliOutcome plan =
      RunCli(PEXOL_CLI, folder, "batch archive --out planned --plan-json" + formats);
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  EXPECT_NE(plan.out.find("\\udc89^\\udc93\\udcae\\udc89\\udcef"), std::string::npos) << plan.out;
  folder.Write("plan.jsonl", plan.out);
  folder.Write("run.py", R"(import codecs, json, os, subprocess, sys
for line in open("plan.jsonl", encoding="utf-8"):
    job = json.loads(line)
    if "argvBytes" in job:
        exact = [codecs.escape_decode(a)[0] for a in job["argvBytes"]]
        assert exact == [os.fsencode(a) for a in job["argv"]], exact
    subprocess.run(job["argv"])
)");
  const CliOutcome ran =
      RunCli(PEXOL_CLI, folder, "--version", "python3 run.py >/dev/null || exit 9;");
  ASSERT_NE(ran.exitCode, 9) << "the plan's JSON did not read or run";
  EXPECT_EQ(RunCli(PEXOL_CLI, folder, "batch --report-only --out planned").exitCode, 2);
  ExpectSameOutputs(folder, "out", "planned");
  // The outputs are named in UTF-8, so that the report's links lead to them.
  EXPECT_TRUE(
      fs::exists(folder.Folder() / "out/2019/\xe9\x81\x8b\xe5\x8b\x95\xe4\xbc\x9a/edit/edit.edl"));
  EXPECT_NE(folder.Read("out/report.html").find("href=\"2019/%E9%81%8B%E5%8B%95%E4%BC%9A/edit/"),
            std::string::npos);
}

// The Slurm script's tasks, run as a node runs them, then its report: the batch's files. A
// project that failed wrote its result, so its task succeeds and the report is not cancelled;
// a task whose node lacks a shared folder fails before it starts.
TEST_F(BatchTest, TheSlurmPlanRunsAProjectATaskAndTheReportOnceTheyEnded) {
  ASSERT_EQ(RunCli(PEXOL_CLI, folder, "batch archive --out out --format mlt").exitCode, 2);
  const CliOutcome plan =
      RunCli(PEXOL_CLI, folder, "batch archive --out planned --format mlt --plan=slurm");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  folder.Write("plan.sh", plan.out);
  EXPECT_EQ(ShellIn(folder, "sh -n plan.sh").exitCode, 0);
  const std::string planned = folder.Path("planned");
  for (const std::string& expected :
       std::vector<std::string>{"--array=1-3 ", "--dependency=afterok:\"$array\"",
                                "mkdir -p -- " + planned + "\n", "#   " + folder.Path("archive"),
                                "\"$program\" batch --report-only --out " + planned + "\n"})
    EXPECT_NE(plan.out.find(expected), std::string::npos) << expected << "\n" << plan.out;
  ASSERT_EQ(ShellIn(folder, "mkdir -p planned").exitCode, 0);
  folder.Write("tasks.sh", SubmittedScript(plan.out, "PEXOL_TASKS"));
  folder.Write("report.sh", SubmittedScript(plan.out, "PEXOL_FINISH"));
  const std::string program = "PEXOL_CLI='" + std::string(PEXOL_CLI) + "' ";
  for (int task = 1; task <= 3; ++task) {
    const CliOutcome ran =
        ShellIn(folder, program + "SLURM_ARRAY_TASK_ID=" + std::to_string(task) + " sh tasks.sh");
    EXPECT_EQ(ran.exitCode, 0) << task << ": " << ran.err;
  }
  EXPECT_EQ(ShellIn(folder, program + "sh report.sh").exitCode, 2);  // one failed
  std::map<std::string, std::string> batch = Files(folder, "out");
  std::map<std::string, std::string> slurm = Files(folder, "planned");
  ASSERT_EQ(batch.size(), slurm.size());
  for (auto& [name, bytes] : batch) {
    std::string expected = bytes;
    for (std::size_t at = 0; (at = expected.find(folder.Path("out"), at)) != std::string::npos;)
      expected.replace(at, folder.Path("out").size(), planned);
    EXPECT_EQ(slurm[name], expected) << name;
  }

  fs::rename(folder.Folder() / "archive", folder.Folder() / "moved");
  const CliOutcome unshared = ShellIn(folder, program + "SLURM_ARRAY_TASK_ID=1 sh tasks.sh");
  EXPECT_EQ(unshared.exitCode, 2);
  EXPECT_NE(unshared.err.find("does not see the folder " + folder.Path("archive")),
            std::string::npos)
      << unshared.err;
}

// A render whose media are missing fails its project, with advice that names the option the
// batch takes; with --missing black, passed to each render and to the plan's jobs, it renders
// black and silence in their place and says so.
TEST_F(BatchTest, RendersWithMissingMediaFailOrRenderBlackWithMissingBlack) {
  const CliOutcome failed =
      RunCli(PEXOL_CLI, folder, "batch archive/2019 --out failed --render mp4 --jobs 1");
  EXPECT_EQ(failed.exitCode, 2) << failed.err;
  const nlohmann::json failures = Report("failed")["results"][0];
  ASSERT_EQ(failures["status"], "failed") << failures;
  const std::string why = failures["failures"][0];
  EXPECT_NE(why.find("render: "), std::string::npos) << why;
  EXPECT_NE(why.find("--missing black"), std::string::npos) << why;
  EXPECT_NE(RunCli(PEXOL_CLI, folder, "batch --help").out.find("--missing"), std::string::npos);

  const std::string options = " --out black --render mp4 --missing black";
  const CliOutcome black = RunCli(PEXOL_CLI, folder, "batch archive/2019" + options);
  EXPECT_EQ(black.exitCode, 1) << black.err;  // the media are still missing
  const nlohmann::json results = Report("black")["results"];
  ASSERT_EQ(results.size(), 2u);
  for (const nlohmann::json& result : results) {
    SCOPED_TRACE(result.dump());
    EXPECT_TRUE(result["failures"].empty());
    const std::string into = result["into"];
    const std::string video =
        folder.Path("black/" + into + "/" + fs::path(into).filename().string() + ".mp4");
    EXPECT_EQ(Output("ffprobe -v error -count_frames -select_streams v -show_entries "
                     "stream=nb_read_frames -of csv=p=0 '" +
                     video + "'"),
              "91\n");
    EXPECT_NE(result["warnings"].dump().find("black and silence are in their place"),
              std::string::npos);
  }
  EXPECT_EQ(results[0]["status"], "missing");  // Other.MPJ, whose clip is not beside it

  const CliOutcome plan = RunCli(PEXOL_CLI, folder, "batch archive/2019" + options + " --plan");
  EXPECT_EQ(std::count(plan.out.begin(), plan.out.end(), '\n'), 2) << plan.out;
  std::size_t named = 0;
  for (std::size_t at = 0;
       (at = plan.out.find("--render mp4 --missing black", at)) != std::string::npos; ++at)
    ++named;
  EXPECT_EQ(named, 2u) << plan.out;

  const CliOutcome alone = RunCli(PEXOL_CLI, folder, "batch archive --out x --missing black");
  EXPECT_NE(alone.exitCode, 0);
  EXPECT_NE(alone.err.find("--render"), std::string::npos) << alone.err;
}

// Any process whose command line names `text`.
bool ProcessNaming(const std::string& text) {
  for (const auto& [process, line] : test::OtherProcesses())
    if (line.find(text) != std::string::npos && line.find("sh\0-c") == std::string::npos)
      return true;
  return false;
}

TEST_F(BatchTest, SigtermStopsTheRunningRendersAndLeavesNoTemporaryFiles) {
  std::ofstream(folder.Path("archive/2020/still.png"), std::ios::binary)
      << "P6\n64 48\n255\n"
      << std::string(64 * 48 * 3, '\x7f');
  build::Project long_;
  long_.main = {{"still.png", 0, 8999, 0, "still", 0, 0, {}}};
  folder.Write("archive/2020/long1.mpj", build::BuildProject(long_));
  folder.Write("archive/2020/long2.mpj", build::BuildProject(long_));
  const auto start = std::chrono::steady_clock::now();
  // The job draws its picture first, through a temporary file of its own: a temporary file
  // beside the finished picture is the render's.
  const std::string command =
      "cd '" + folder.Folder().string() +
      "' && { '" PEXOL_CLI
      "' batch archive/2020 --out out --render mp4 --jobs 2 "
      ">/dev/null 2>&1 & pid=$!; for i in $(seq 600); do [ -f out/long1/long1.svg ] && "
      "ls -a out/long1 | grep -q '^[.]pexol-' && break; sleep 0.05; done; "
      "ls -a out/long1 >seen.txt; kill -TERM $pid; wait $pid; }";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(folder.Read("seen.txt").find(".pexol-"), std::string::npos)  // it was rendering
      << folder.Read("seen.txt");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(40));
  EXPECT_FALSE(ProcessNaming(folder.Path("out")));
  for (const auto& entry : fs::recursive_directory_iterator(folder.Folder() / "out")) {
    EXPECT_EQ(entry.path().filename().string().find(".pexol-"), std::string::npos) << entry.path();
    EXPECT_FALSE(entry.path().string().find("long") != std::string::npos &&
                 entry.path().filename() == "pexol-result.json")
        << entry.path();
  }
}

}  // namespace
}  // namespace pexol
