// tests/render/RenderInRangesTest.cpp - renders made in ranges side by side against renders in
// one process, read with FFmpeg's own tools; a failing range, every medium missing, Ctrl-C, and
// the plan run by hand, by GNU parallel and as Slurm's tasks
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "support/ProcessCommandLines.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::Ffmpeg;
using test::Output;

/// Every packet of the file's first stream of `type` ('v' or 'a'), copied as it is: its
/// timestamps, size and a digest of its bytes, a line each.
std::string Packets(const fs::path& file, char type) {
  std::string lines = Output("ffmpeg -v error -i '" + file.string() + "' -map 0:" + type +
                             ":0 -c copy -f framemd5 - 2>&1");
  std::string kept;  // without the header's comment lines, which name the file
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with('#')) kept += line + "\n";
  return kept;
}

std::size_t LineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class RenderInRangesTest : public testing::Test {
 protected:
  // A moving picture with a tone, 700 frames: two ranges of 350, each frame unlike its
  // neighbours, so that a frame dropped, doubled or shifted at the join shows.
  void SetUp() override {
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=30000/1001 -f lavfi -i "
        "sine=frequency=440:sample_rate=48000 -frames:v 700 -c:v mpeg4 -q:v 2 -c:a pcm_s16le "
        "-shortest '" +
        folder.Path("take.avi") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    build::Project project;
    project.main = {{"take.avi", 0, 699, 0, "", 0, 0, {}}};
    folder.Write("p.mpj", build::BuildProject(project));
  }

  test::CliOutcome Render(const std::string& arguments) const {
    return test::RunCli(PEXOL_CLI, folder, "render p.mpj " + arguments);
  }

  /// The files in the folder that a render left beside its own: pieces and temporary files.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.Folder())) {
      const std::string name = entry.path().filename().string();
      if (name.find("pexol") != std::string::npos) found.push_back(name);
    }
    return found;
  }

  /// Processes still running a command line that names the folder.
  int Running() const {
    int count = 0;
    for (const auto& [process, line] : test::OtherProcesses())
      if (line.find(folder.Folder().string()) != std::string::npos) ++count;
    return count;
  }

  test::TempFolder folder;
};

// ProRes codes each frame on its own: the ranges' packets are the one process's, frame for
// frame, and so is the sound. H.264 codes each range from a key frame of its own: as many
// frames, each decoded within a small error, the same sound.
TEST_F(RenderInRangesTest, RangesSideBySideMakeTheFileOneProcessMakes) {
  for (const char* options : {"--codec prores", "--codec h264"}) {
    SCOPED_TRACE(options);
    const std::string extension = std::string(options).ends_with("prores") ? ".mov" : ".mp4";
    const test::CliOutcome one = Render("one" + extension + " --jobs 1 " + options);
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const test::CliOutcome two = Render("two" + extension + " --jobs 2 --progress=json " + options);
    ASSERT_EQ(two.exitCode, 0) << two.err;
    EXPECT_NE(two.err.find("(700 frames)"), std::string::npos) << two.err;
    // The ranges' frames counted as one process counts its own: up to the whole, at a rate a
    // machine can make (not frames made before the count began, divided by no time).
    long long last = 0;
    std::istringstream progress(two.err);
    for (std::string line; std::getline(progress, line);) {
      const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
      if (object.value("unit", "") != "frames") continue;
      EXPECT_GE(object.value("done", 0LL), last) << line;
      last = object.value("done", 0LL);
      EXPECT_LE(object.value("total", 0LL), 700) << line;
      EXPECT_LT(object.value("fps", 0.0), 5000) << line;
      const std::string status = object.value("status", "");
      if (status.starts_with("[Render] ") && status.ends_with(" fps")) {
        EXPECT_LT(std::stol(status.substr(9)), 5000) << line;
      }
    }
    EXPECT_GT(last, 0);
    EXPECT_TRUE(Leftovers().empty());
    const fs::path first = folder.Path("one" + extension), second = folder.Path("two" + extension);

    const std::string samples = test::DecodedSound(first.string());
    EXPECT_GT(samples.size(), 700u * 1600 * 4);
    EXPECT_EQ(test::DecodedSound(second.string()), samples);
    if (extension == ".mov") {
      const std::string packets = Packets(first, 'v');
      EXPECT_EQ(LineCount(packets), 700u);
      EXPECT_EQ(Packets(second, 'v'), packets);
      continue;
    }
    EXPECT_EQ(LineCount(Packets(second, 'v')), 700u);
    // The smallest PSNR of any frame against the one process's.
    const std::string psnr =
        Output("ffmpeg -v info -i '" + first.string() + "' -i '" + second.string() +
               "' -lavfi 'psnr=stats_file=-' -f null - 2>/dev/null");
    double lowest = 1000;
    std::size_t frames = 0;
    std::istringstream in(psnr);
    for (std::string line; std::getline(in, line);) {
      const auto at = line.find("psnr_avg:");
      if (at == std::string::npos) continue;
      ++frames;
      const std::string value = line.substr(at + 9, line.find(' ', at) - at - 9);
      lowest = std::min(lowest, value == "inf" ? 1000.0 : std::stod(value));
    }
    EXPECT_EQ(frames, 700u);
    EXPECT_GT(lowest, 40) << psnr.substr(0, 2000);
  }
}

// A medium that cannot be decoded in the second range fails the whole render naming the range
// and the file; no piece and no temporary file is left, and the destination is as it was.
TEST_F(RenderInRangesTest, ARangeThatFailsFailsTheRenderAndLeavesNothing) {
  folder.Write("broken.png", "not a picture");
  build::Project project;
  project.main = {{"take.avi", 0, 399, 0, "", 0, 0, {}},
                  {"broken.png", 0, 299, 0, "still", 0, 0, {}}};
  folder.Write("p.mpj", build::BuildProject(project));
  folder.Write("out.mp4", "old");
  const test::CliOutcome run = Render("out.mp4 --jobs 2");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("broken.png"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("range 2 of 2 (frames 350 to 699)"), std::string::npos) << run.err;
  EXPECT_EQ(folder.Read("out.mp4"), "old");
  EXPECT_TRUE(Leftovers().empty());
}

// Every medium missing: the ranges and the sound all fail, at nearly the same moment, and the
// steps still running are stopped. Whichever failed first, the render says what it said (the
// missing file), never the signal the others were stopped with, run after run.
TEST_F(RenderInRangesTest, EveryMediumMissingIsWhatTheRenderSaysEveryTime) {
  build::Project project;
  project.main = {{"gone.avi", 0, 349, 0, "", 0, 0, {}}, {"lost.avi", 0, 349, 0, "", 0, 0, {}}};
  folder.Write("gone.mpj", build::BuildProject(project));
  folder.Write("out.mp4", "old");
  for (int run = 0; run < 8; ++run) {
    SCOPED_TRACE(run);
    const test::CliOutcome outcome =
        test::RunCli(PEXOL_CLI, folder, "render gone.mpj out.mp4 --jobs 2");
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find("1 media file is missing or does not decode"), std::string::npos)
        << outcome.err;
    EXPECT_TRUE(outcome.err.find("\ngone.avi\n") != std::string::npos ||
                outcome.err.find("\nlost.avi\n") != std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.err.find("signal"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("That was range "), std::string::npos) << outcome.err;
    // The command line's words for what to do close the message.
    EXPECT_NE(outcome.err.find("as it was.\n\nFind them with --map and --search (see 'pexol-cli "
                               "check'), or render black and silence in their place with "
                               "--missing black.\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(folder.Read("out.mp4"), "old");
    EXPECT_EQ(Leftovers(), std::vector<std::string>{}) << outcome.err;
  }
}

// The command line copied without the render program beside it: the render fails before it
// writes anything, naming the folder it looked in and what to do.
TEST_F(RenderInRangesTest, WithoutTheRenderProgramTheRenderSaysWhereItLooked) {
  fs::create_directories(folder.Folder() / "alone");
  fs::copy_file(PEXOL_CLI, folder.Folder() / "alone/pexol-cli");
  const std::string alone = folder.Path("alone/pexol-cli");
  const test::CliOutcome run = test::RunCli(alone.c_str(), folder, "render p.mpj out.mp4",
                                            "env -u PEXOL_RENDER LANG=C.UTF-8");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("neither in " + folder.Path("alone") +
                         " nor in ../libexec/pexol/ from there: install pexol whole, or name the "
                         "program in PEXOL_RENDER."),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(folder.Folder() / "out.mp4"));
}

// Ctrl-C once the ranges are encoding: every process ends, every piece goes, the render says it
// stopped.
TEST_F(RenderInRangesTest, CtrlCEndsEveryProcessAndRemovesEveryPiece) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.Folder().c_str()) != 0) ::_exit(99);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("err.txt", "w", stderr);
    // The size makes each frame slow enough that the ranges are seen at work.
    ::execl(PEXOL_CLI, PEXOL_CLI, "render", "p.mpj", (folder.Folder() / "out.mp4").c_str(),
            "--jobs", "2", "--size", "1920x1080", "--progress=json", nullptr);
    ::_exit(98);
  }
  int status = 0;
  while (folder.Read("err.txt").find("\"unit\":\"frames\"") == std::string::npos &&
         ::waitpid(child, &status, WNOHANG) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the render ended before the signal";
  EXPECT_GE(Running(), 3);  // this render, its two ranges and the sound
  ::kill(child, SIGINT);
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  EXPECT_NE(folder.Read("err.txt").find("\"message\":\"render stopped"), std::string::npos);
  // The ranges end with it; each removes its own temporary file as it goes.
  for (int wait = 0; wait < 200 && Running() > 0; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Running(), 0);
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_FALSE(fs::exists(folder.Path("out.mp4")));
}

// The plan's commands, run one after another by a shell, make the file the render makes.
TEST_F(RenderInRangesTest, ThePlanRunByHandMakesTheSameFile) {
  const test::CliOutcome plan = Render("planned.mov --codec prores --jobs 2 --plan");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  EXPECT_EQ(LineCount(plan.out), 4u) << plan.out;  // two ranges, the sound, the join
  std::istringstream lines(plan.out);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_TRUE(line.starts_with("pexol-cli ")) << line;
    const std::string command = "cd '" + folder.Folder().string() + "' && '" + PEXOL_CLI + "'" +
                                line.substr(9) + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << line;
  }
  ASSERT_EQ(Render("rendered.mov --codec prores --jobs 2").exitCode, 0);
  EXPECT_EQ(folder.Read("planned.mov"), folder.Read("rendered.mov"));
}

// DV is interlaced, so each range deinterlaces: with two render threads the frames a range
// made depended on their timing. The plan's lines run by GNU parallel, then its join, make the
// default render's file, and a range rendered again its bytes.
TEST_F(RenderInRangesTest, ThePlanRunByGnuParallelThenItsJoinIsTheDefaultRender) {
  test::Ffmpeg(
      "-f lavfi -i testsrc2=size=720x480:rate=30000/1001 -f lavfi -i "
      "sine=frequency=440:sample_rate=48000 -frames:v 620 -c:v dvvideo -pix_fmt yuv411p "
      "-c:a pcm_s16le -shortest '" +
      folder.Path("dv.avi") + "'");
  build::Project project;
  project.main = {{"dv.avi", 0, 619, 0, "", 0, 0, {}}};
  folder.Write("dv.mpj", build::BuildProject(project));
  const test::CliOutcome plan = test::RunCli(PEXOL_CLI, folder, "render dv.mpj planned.mp4 --plan");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  ASSERT_EQ(LineCount(plan.out), 4u) << plan.out;
  folder.Write("plan.txt", plan.out);
  const std::string path = "PATH='" + fs::path(PEXOL_CLI).parent_path().string() + "':$PATH ";
  const test::CliOutcome ran = test::ShellIn(
      folder, "head -n 3 plan.txt | " + path + "parallel --will-cite --halt now,fail=1 && " +
                  "tail -n 1 plan.txt | " + path + "sh");
  ASSERT_EQ(ran.exitCode, 0) << ran.err;
  ASSERT_EQ(test::RunCli(PEXOL_CLI, folder, "render dv.mpj rendered.mp4 --jobs 2").exitCode, 0);
  EXPECT_EQ(folder.Read("planned.mp4"), folder.Read("rendered.mp4"));

  std::string again = plan.out.substr(0, plan.out.find('\n'));
  again.replace(again.find("planned.pexol-range-1-of-2.mp4"), 30, "again.mp4");
  ASSERT_EQ(test::ShellIn(folder, path + again).exitCode, 0) << again;
  EXPECT_EQ(folder.Read("again.mp4"), folder.Read("planned.pexol-range-1-of-2.mp4"));
}

// The Slurm script: the ranges and the sound one task each, the join after all of them, every
// path absolute; a task checks that its node sees the folders the render needs.
TEST_F(RenderInRangesTest, TheSlurmPlanSubmitsTheRangesThenTheJoinThatWaitsForThem) {
  fs::create_directories(folder.Folder() / "footage");
  const test::CliOutcome plan =
      Render("out.mp4 --jobs 2 --search footage --size 1080p --plan=slurm");
  ASSERT_EQ(plan.exitCode, 0) << plan.err;
  folder.Write("plan.sh", plan.out);
  EXPECT_EQ(test::ShellIn(folder, "sh -n plan.sh").exitCode, 0);
  const std::string root = folder.Folder().string();
  for (const std::string& expected : std::vector<std::string>{
           "--array=1-3 ", "--dependency=afterok:\"$array\" --kill-on-invalid-dep=yes",
           "cpus=${PEXOL_SLURM_CPUS:-1}\n", "#   " + root + "/footage\n",
           "join " + root + "/out.mp4 " + root + "/out.pexol-range-1-of-2.mp4",
           "rm -f -- " + root + "/out.pexol-range-1-of-2.mp4"})
    EXPECT_NE(plan.out.find(expected), std::string::npos) << expected << "\n" << plan.out;
  // 350 frames of 1080p a range: a longer time and more memory than SD's least.
  EXPECT_NE(plan.out.find("memory=${PEXOL_SLURM_MEMORY:-2500}"), std::string::npos) << plan.out;

  const std::string tasks = test::SubmittedScript(plan.out, "PEXOL_TASKS");
  folder.Write("tasks.sh", tasks);
  std::size_t count = 0;
  for (std::size_t at = 0; (at = tasks.find(") set -- render ", at)) != std::string::npos; ++at)
    ++count;
  EXPECT_EQ(count, 3u) << tasks;
  EXPECT_NE(tasks.find("3) set -- render " + root + "/p.mpj " + root + "/out.pexol-sound.m4a"),
            std::string::npos)
      << tasks;
  const test::CliOutcome stray = test::ShellIn(folder, "SLURM_ARRAY_TASK_ID=4 sh tasks.sh");
  EXPECT_EQ(stray.exitCode, 2);
  EXPECT_NE(stray.err.find("sbatch --array=1-3"), std::string::npos) << stray.err;
  fs::rename(folder.Folder() / "footage", folder.Folder() / "elsewhere");
  const test::CliOutcome unshared = test::ShellIn(folder, "SLURM_ARRAY_TASK_ID=1 sh tasks.sh");
  EXPECT_EQ(unshared.exitCode, 2);
  EXPECT_NE(unshared.err.find("does not see the folder " + root + "/footage"), std::string::npos)
      << unshared.err;
  EXPECT_FALSE(fs::exists(folder.Path("out.pexol-range-1-of-2.mp4")));
}

}  // namespace
}  // namespace pexol
