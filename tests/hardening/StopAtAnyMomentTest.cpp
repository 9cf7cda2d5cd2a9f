// tests/hardening/StopAtAnyMomentTest.cpp - collect, render and batch stopped by SIGINT or
// SIGTERM sent to their process group, as a terminal's Ctrl-C sends it, at moments spread over
// a whole run: nothing left behind, the earlier destination untouched, and an exit status and a
// message that say what happened
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/CommandOutput.h"
#include "support/OldMedia.h"
#include "support/ProcessCommandLines.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// Moments per command, spread evenly over the length of a whole run and a little past it; the
/// even ones get SIGINT, the odd ones SIGTERM, each signal in a test of its own.
constexpr int moments = 20;
constexpr std::string_view interrupted =
    "pexol: interrupted; the run was stopped and its temporary files removed.";

struct Outcome {
  int exitCode = -1;  ///< -1 when a signal ended it
  std::string err;
  bool signalled = false;  ///< the signal was sent: the run had not ended by then
  /// Ended by the signal itself, saying nothing: it came before the program had set up what
  /// takes it (loading its libraries, a few tens of milliseconds, longer on a busy machine),
  /// when nothing of the run had begun.
  bool beforeItsStart = false;
};

/// The latest a signal may come and still find the program not yet started.
constexpr milliseconds startLimit{400};

/// Every file below `root` with its bytes.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().lexically_relative(root).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
  return files;
}

/// The frames of a movie's picture, as FFmpeg decodes them; 0 when it does not.
int DecodedFrames(const fs::path& movie) {
  const std::string counted = test::Output(
      "timeout 60 ffprobe -v error -select_streams v:0 -count_frames -show_entries "
      "stream=nb_read_frames -of csv=p=0 " +
      test::ShellQuoted(movie));
  return std::atoi(counted.c_str());
}

class StopAtAnyMomentTest : public testing::TestWithParam<int> {
 public:
  /// Runs pexol-cli with `arguments` in the test's folder as a shell runs a job (in a process
  /// group of its own) with TMPDIR an empty folder of its own; `after` that (unless it has
  /// ended) the whole group gets `signal`, as a terminal sends Ctrl-C.
  Outcome Run(const std::vector<std::string>& arguments, std::optional<milliseconds> after,
              int signal, const fs::path& temporary) const {
    fs::create_directories(temporary);
    const std::string log = folder.Folder().string() + ".err";
    const pid_t child = ::fork();
    if (child == 0) {
      ::setpgid(0, 0);
      if (::chdir(folder.Folder().c_str()) != 0) ::_exit(99);
      ::setenv("TMPDIR", temporary.c_str(), 1);
      const int out = ::open("/dev/null", O_WRONLY);
      const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      std::vector<char*> argv = {const_cast<char*>(PEXOL_CLI)};
      for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      ::execv(PEXOL_CLI, argv.data());
      ::_exit(98);
    }
    ::setpgid(child, child);
    Outcome outcome;
    int status = 0;
    const auto start = Clock::now();
    pid_t ended = 0;
    while (after && (ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
           Clock::now() - start < *after)
      std::this_thread::sleep_for(milliseconds(1));
    if (ended == 0 && after) {
      outcome.signalled = true;
      ::kill(-child, signal);
    }
    if (ended == 0) ::waitpid(child, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(log, std::ios::binary);
    outcome.err.assign(std::istreambuf_iterator<char>(in), {});
    outcome.beforeItsStart = outcome.signalled && *after <= startLimit && WIFSIGNALED(status) &&
                             WTERMSIG(status) == signal && outcome.err.empty();
    fs::remove(log);
    return outcome;
  }

  /// What a stopped or finished run may not leave: a temporary file or folder of ours (or a
  /// piece of a render) below the test's folder, anything in its TMPDIR, or a process still
  /// running on its files.
  void ExpectNothingLeft(const fs::path& temporary) const {
    for (const auto& entry : fs::recursive_directory_iterator(folder.Folder()))
      EXPECT_EQ(entry.path().filename().string().find(".pexol-"), std::string::npos)
          << entry.path();
    EXPECT_TRUE(fs::is_empty(temporary)) << Files(temporary).size() << " in " << temporary;
    // Every process of the run works in the folder, where the run was started, or names it.
    const std::string root = folder.Folder().string();
    for (const auto& [process, line] : test::OtherProcesses()) {
      std::error_code code;
      const std::string cwd = fs::read_symlink(process / "cwd", code).string();
      EXPECT_TRUE(cwd != root && !cwd.starts_with(root + "/") &&
                  line.find(root) == std::string::npos)
          << cwd << ": " << line;
    }
  }

  /// Runs `arguments` whole (the exit status of a run that ends before its signal, and the
  /// length the moments are spread over), then once at each of this test's moments, the
  /// signal (the test's parameter) sent to the run's process group; `check` is told of each
  /// run after the common checks. A run that ended before its moment came shortens the length:
  /// a busy machine makes some runs quicker than the first.
  void StopAtMoments(const std::vector<std::string>& arguments, const std::string& stoppedWords,
                     const std::function<void(const Outcome&, bool completed)>& check) {
    const int signal = GetParam();
    auto start = Clock::now();
    const Outcome whole = Run(arguments, std::nullopt, 0, folder.Folder() / "tmp-whole");
    milliseconds length = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    ASSERT_LE(whole.exitCode, 1) << whole.err;
    ExpectNothingLeft(folder.Folder() / "tmp-whole");
    check(whole, true);
    if (HasFatalFailure()) return;
    int runs = 0;
    int stopped = 0;
    for (int moment = signal == SIGINT ? 0 : 1; moment < moments; moment += 2, ++runs) {
      const milliseconds at(length.count() * (2 * moment + 1) * 23 / (2 * moments * 20));
      SCOPED_TRACE("signal " + std::to_string(signal) + " after " + std::to_string(at.count()) +
                   " ms of " + std::to_string(length.count()));
      const fs::path temporary = folder.Folder() / ("tmp-" + std::to_string(moment));
      start = Clock::now();
      const Outcome outcome = Run(arguments, at, signal, temporary);
      if (!outcome.signalled)
        length = std::min(length, std::chrono::duration_cast<milliseconds>(Clock::now() - start));
      ExpectNothingLeft(temporary);
      const bool completed = outcome.exitCode == whole.exitCode;
      if (completed) {
        EXPECT_EQ(outcome.err.find(stoppedWords), std::string::npos) << outcome.err;
      } else {
        ++stopped;
        EXPECT_TRUE(outcome.signalled);
        if (!outcome.beforeItsStart) {
          EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
          // The run's own words, or, for a signal before the run began, the interrupt's.
          EXPECT_TRUE(outcome.err.find(stoppedWords) != std::string::npos ||
                      outcome.err.find(interrupted) != std::string::npos)
              << outcome.err;
        }
      }
      check(outcome, completed);
      fs::remove_all(temporary);
      if (HasFatalFailure()) return;
    }
    // Most moments fall inside the run; the last ones may come after its end.
    EXPECT_GE(stopped, runs / 2);
  }

  test::TempFolder folder;
};

// Old media as a project links them: DV, Motion-JPEG and MPEG-4 AVIs, an SGI still, a WAV.
void MakeShoot(const test::TempFolder& folder, int frames) {
  const fs::path shoot = folder.Folder() / "shoot";
  fs::create_directories(shoot);
  ASSERT_TRUE(test::MakeDvAvi(shoot / "intro.avi", frames));
  ASSERT_TRUE(test::MakeMjpegAvi(shoot / "race.avi", frames));
  ASSERT_TRUE(test::MakeMpeg4Avi(shoot / "walk.avi", frames));
  test::Ffmpeg("-f lavfi -i color=c=orange:size=320x240 -frames:v 1 " +
               test::ShellQuoted(shoot / "sun.sgi"));
  test::Ffmpeg("-f lavfi -i sine=frequency=220:sample_rate=48000 -t 8 " +
               test::ShellQuoted(shoot / "music.wav"));
  build::Project project;
  const int half = frames / 2;
  project.main = {{"E:\\Shoot\\intro.avi", 0, half - 1, 0, "", 0x8000, 0x8000, {}},
                  {"E:\\Shoot\\race.avi", half, frames - 1, 0, "", 0x8000, 0x8000, {}},
                  {"E:\\Shoot\\sun.sgi", 0, 29, 0, "still", 0, 0, {}},
                  {"E:\\Shoot\\walk.avi", 0, frames - 1, 0, "", 0x8000, 0x8000, {}}};
  project.exAudio1 = {{"E:\\Shoot\\music.wav", 0, 149, 0, 0x8000, 0x8000, {}}};
  folder.Write("edit.mpj", build::BuildProject(project));
}

// Collects with the movies transcoded (and trimmed), into a new folder and into an empty one
// that was there: a stop leaves no folder (the empty one empty), a finished collect the whole
// folder with its exports.
void StopCollects(StopAtAnyMomentTest& test, const test::TempFolder& folder,
                  const std::vector<std::string>& transcode) {
  MakeShoot(folder, 60);
  if (testing::Test::HasFatalFailure()) return;
  std::vector<std::string> arguments = {
      "collect", "edit.mpj", "out", "--map=E:\\Shoot=shoot", "--format=mlt", "--format=fcpxml"};
  arguments.insert(arguments.end(), transcode.begin(), transcode.end());
  std::map<std::string, std::string> whole;
  int run = 0;
  test.StopAtMoments(arguments, "Nothing was written", [&](const Outcome& outcome, bool completed) {
    const fs::path out = folder.Folder() / "out";
    if (completed) {
      std::map<std::string, std::string> files = Files(out);
      EXPECT_EQ(files.count("edit.fcpxml"), 1u) << outcome.err;
      if (whole.empty()) whole = files;
      EXPECT_EQ(files.size(), whole.size());  // the whole folder
      for (const auto& [name, bytes] : whole) {
        if (name.ends_with(".mpj") || name.ends_with(".wav") || name.ends_with(".sgi")) {
          EXPECT_EQ(files[name], bytes) << name;
        }
      }
    } else if (run % 3 == 1) {
      EXPECT_TRUE(fs::is_directory(out));
      EXPECT_TRUE(fs::is_empty(out));
    } else {
      EXPECT_FALSE(fs::exists(out));
    }
    fs::remove_all(out);
    // Every third run collects into an empty folder made before it.
    if (++run % 3 == 1) fs::create_directory(out);
  });
}

TEST_P(StopAtAnyMomentTest, ACollectWithProResLeavesNoFolderOrTheWholeOne) {
  StopCollects(*this, folder, {"--transcode=prores"});
}

TEST_P(StopAtAnyMomentTest, ATrimmedCollectLeavesNoFolderOrTheWholeOne) {
  StopCollects(*this, folder, {"--transcode=h264", "--trim", "--handles=5"});
}

/// A moving picture with a tone, 160x120, `frames` long, and a project playing it whole.
void MakeTake(const test::TempFolder& folder, const std::string& project, int frames) {
  test::Ffmpeg(
      "-f lavfi -i testsrc2=size=160x120:rate=30000/1001 -f lavfi -i "
      "sine=frequency=440:sample_rate=48000 -frames:v " +
      std::to_string(frames) + " -c:v mpeg4 -q:v 2 -c:a pcm_s16le -shortest " +
      test::ShellQuoted(folder.Folder() / "take.avi"));
  build::Project take;
  take.main = {{"take.avi", 0, frames - 1, 0, "", 0, 0, {}}};
  folder.Write(project, build::BuildProject(take));
}

// Renders in one process and in ranges side by side (two of 300 frames, the fewest a range
// has): a stop leaves the earlier file as it was, a finished render replaces it with every
// frame.
void StopRenders(StopAtAnyMomentTest& test, const test::TempFolder& folder, int jobs) {
  const int frames = jobs == 1 ? 150 : 600;
  MakeTake(folder, "p.mpj", frames);
  folder.Write("out.mp4", "earlier");
  test.StopAtMoments(
      {"render", "p.mpj", "out.mp4", "--size=160x120", "--jobs=" + std::to_string(jobs)},
      "render stopped", [&](const Outcome& outcome, bool completed) {
        if (!completed) {
          EXPECT_EQ(folder.Read("out.mp4"), "earlier");
          if (!outcome.beforeItsStart) {
            EXPECT_NE(outcome.err.find("out.mp4 was left as it was"), std::string::npos)
                << outcome.err;
          }
          return;
        }
        EXPECT_EQ(DecodedFrames(folder.Folder() / "out.mp4"), frames);
        folder.Write("out.mp4", "earlier");
      });
}

TEST_P(StopAtAnyMomentTest, ARenderInOneProcessLeavesTheEarlierFileOrTheWholeRender) {
  StopRenders(*this, folder, 1);
}

TEST_P(StopAtAnyMomentTest, ARenderInRangesLeavesTheEarlierFileOrTheWholeRender) {
  StopRenders(*this, folder, 2);
}

// A batch rendering two projects and exporting them, run again with --force over its earlier
// outputs: a stop leaves each output either as the earlier run made it or made again whole.
TEST_P(StopAtAnyMomentTest, ABatchLeavesEachOutputEarlierOrWhole) {
  const int frames = 90;
  fs::create_directories(folder.Folder() / "projects/day2");
  MakeTake(folder, "projects/day1.mpj", frames);
  fs::copy_file(folder.Folder() / "take.avi", folder.Folder() / "projects/take.avi");
  fs::copy_file(folder.Folder() / "take.avi", folder.Folder() / "projects/day2/take.avi");
  fs::copy_file(folder.Folder() / "projects/day1.mpj", folder.Folder() / "projects/day2/day2.mpj");
  const std::vector<std::string> arguments = {
      "batch", "projects", "--out=out", "--render=mp4", "--format=otio", "--jobs=2", "--force"};
  std::map<std::string, std::string> earlier;
  StopAtMoments(arguments, "batch stopped", [&](const Outcome& outcome, bool completed) {
    std::map<std::string, std::string> now = Files(folder.Folder() / "out");
    if (earlier.empty()) {
      ASSERT_TRUE(completed) << outcome.err;
      earlier = now;
      ASSERT_EQ(earlier.count("day1/day1.mp4"), 1u) << outcome.err;
      ASSERT_EQ(earlier.count("day2/day2/day2.mp4"), 1u) << outcome.err;
      return;
    }
    for (const auto& [name, bytes] : earlier) {
      if (name.ends_with(".json") || name.ends_with(".html")) continue;  // results and report
      SCOPED_TRACE(name);
      ASSERT_EQ(now.count(name), 1u);
      if (now[name] == bytes) continue;
      // Made again by this run: whole, as a finished job makes it.
      ASSERT_TRUE(name.ends_with(".mp4"));
      EXPECT_EQ(DecodedFrames(folder.Folder() / "out" / name), frames);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Signals, StopAtAnyMomentTest, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SIGINT ? "Sigint" : "Sigterm");
                         });

}  // namespace
}  // namespace pexol
