// tests/pages/CountsTest.cpp - one count of each thing: a project's clips and its missing media
// give the same numbers in the command line's runs, the batch report and the window's pages
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

#include "app/pages/ExportPage.h"
#include "app/pages/FindPage.h"
#include "app/pages/MediaFolders.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::pages {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class Counts : public testing::Test {
 protected:
  void Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories(fs::path(temp.Path(name)).parent_path());
    temp.Write(name, bytes);
  }
  test::CliOutcome Cli(const std::string& arguments) const {
    return test::RunCli(PEXOL_CLI, temp, arguments);
  }
  static RunResult Run(Page& page) {
    NullObserver quiet;
    return page.MakeRun(MediaFolders{})(quiet);
  }
  static bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  test::TempFolder temp;
};

// The large project's clips: each main, insert and extra audio clip and each title once. A
// main clip's sound is no clip of its own (the picture draws it as a box), and the inserts an
// interchange format cannot hold beside the one before them still count: every format, the
// picture, the batch report and the export page say 2100.
TEST_F(Counts, TheLargeProjectHasOneNumberOfClipsEverywhere) {
  const build::Project project = build::LargeProject(1);
  const std::size_t clips = project.main.size() + project.insert.size() + project.exAudio1.size() +
                            project.exAudio2.size() + project.titles.size();
  ASSERT_EQ(clips, 2100u);
  Write("archive/large.mpj", build::BuildProject(project));
  const std::string said = std::to_string(clips) + " clips";

  for (const std::string format : {"otio", "edl", "mlt", "fcpxml"}) {
    const test::CliOutcome run = Cli("export archive/large.mpj large." + format + " --json");
    const json exported = json::parse(run.out);
    EXPECT_EQ(exported["clips"], clips) << format;
    EXPECT_TRUE(Holds(exported["message"], said)) << exported["message"];
  }
  // Its clips whose media are missing: the 667 movies and stills of the main track, the 300
  // inserts and the 600 extra audio clips; a movie's sound is not missing twice.
  const test::CliOutcome picture = Cli("picture archive/large.mpj large.svg");
  EXPECT_TRUE(Holds(picture.out, said + ", 1567 not found")) << picture.out << picture.err;

  EXPECT_EQ(Cli("batch archive --out out").exitCode, 1);  // none of its media is here
  const json report = json::parse(temp.Read("out/report.json"));
  EXPECT_EQ(report["results"][0]["clips"], clips);
  EXPECT_TRUE(
      Holds(temp.Read("out/report.html"), "<dt>Clips</dt><dd>" + std::to_string(clips) + "</dd>"));

  ExportPage page;
  page.State().SetText(page.source, temp.Path("archive/large.mpj"));
  page.State().SetText(page.destination, temp.Path("page.otio"));
  const RunResult exported = Run(page);
  ASSERT_TRUE(exported.Completed()) << exported.message;
  EXPECT_TRUE(Holds(exported.message, said)) << exported.message;
}

// One file named three times (once in other letters' case, as Windows names it still) and
// another twice, both missing, beside a file found and named twice. The check's message counts
// the 5 names not found, as it always has; pexol's own counts say which they are: 5 references
// to 2 missing files, alike in check --list's summary, --json, the batch report and the find
// page.
TEST_F(Counts, MissingMediaAreCountedAsReferencesAndAsFiles) {
  build::Project project;
  project.main = {{"clips/here.avi", 0, 29, 0, "", 100, 100, {}},
                  {"clips/gone.avi", 0, 29, 0, "", 100, 100, {}}};
  project.insert = {{"CLIPS/Gone.AVI", 0, 29, 60, "", 100, 100, {}}};
  project.exAudio1 = {{"sound/lost.wav", 0, 29, 0, 100, 100, {}}};
  project.bin = {{"here", "clips/here.avi", 0, 29, 0, 0},
                 {"gone", "clips/gone.avi", 0, 29, 0, 0},
                 {"lost", "sound/lost.wav", 0, 29, 0, 0}};
  Write("archive/p.mpj", build::BuildProject(project));
  Write("archive/clips/here.avi", "x");
  const std::string message = "5 files undetected";
  const std::string counted = "7 references to 3 media files.\n5 references to 2 missing files.";

  const test::CliOutcome list = Cli("check archive/p.mpj --list --no-probe");
  EXPECT_EQ(list.exitCode, 1);
  EXPECT_TRUE(Holds(list.err, message)) << list.err;
  EXPECT_TRUE(Holds(list.err, counted + "\n")) << list.err;

  const json checked = json::parse(Cli("check archive/p.mpj --json").out);
  EXPECT_TRUE(Holds(checked["message"], message));
  const json& counts = checked["counts"];
  EXPECT_EQ(counts["references"], 7);
  EXPECT_EQ(counts["files"], 3);
  EXPECT_EQ(counts["undetected"], 5);
  EXPECT_EQ(counts["undetectedFiles"], 2);

  EXPECT_EQ(Cli("batch archive --out out").exitCode, 1);
  const json result = json::parse(temp.Read("out/report.json"))["results"][0];
  EXPECT_EQ(result["missingReferences"], 5);
  EXPECT_EQ(result["missing"], json::array({"clips/gone.avi", "sound/lost.wav"}));
  const std::string html = temp.Read("out/report.html");
  EXPECT_TRUE(Holds(html, "<span class=\"why\">5 references to 2 missing files.</span>"));
  EXPECT_TRUE(Holds(html, "<h3>Missing media</h3>\n<p>5 references to 2 missing files.</p>"));

  FindPage page;
  page.State().SetText(page.source, temp.Path("archive/p.mpj"));
  const RunResult found = Run(page);
  ASSERT_TRUE(found.Completed()) << found.message;
  EXPECT_TRUE(Holds(found.message, message));
  EXPECT_TRUE(Holds(found.message, counted)) << found.message;
}

}  // namespace
}  // namespace pexol::pages
