// tests/run/ProcessPoolTest.cpp - the one process starter run on real programs (sh, sleep):
// the stop in its order, children that end early or never, pools side by side, programs that
// cannot run, and a run ended by a signal taking its children and temporary folders with it
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/TemporaryFiles.h"
#include "run/ChildReport.h"
#include "run/ProcessPool.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::vector<std::string> Shell(const std::string& script) {
  return {"sh", "-c", script};
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Three children asked to stop at once: one ends on SIGTERM, one hears it and carries on, one
// ignores it (and so does the sleep it runs in its group). The first ends by SIGTERM at once;
// the others by SIGKILL, and only once the grace has passed.
TEST(ProcessPoolTest, AStopSendsSigtermToEachGroupAndSigkillAfterTheGrace) {
  const std::vector<std::vector<std::string>> jobs = {
      Shell("echo ready >&2; while :; do sleep 0.01; done"),
      Shell("trap 'echo heard TERM >&2' TERM; echo ready >&2; while :; do sleep 0.01; done"),
      Shell("trap '' TERM; echo ready >&2; while :; do sleep 0.01; done")};
  std::map<std::size_t, ChildEnd> ends;
  std::map<std::size_t, double> endedAfterStop;
  std::map<std::size_t, std::vector<std::string>> lines;
  int ready = 0;
  Clock::time_point stoppedAt;
  bool stopAsked = false;
  PoolCalls calls;
  calls.stopGrace = milliseconds(400);
  calls.line = [&](std::size_t job, std::string_view line) {
    // The script's own lines; the shell may add its notice of the sleep that SIGTERM ended.
    if (line == "ready" || line == "heard TERM") lines[job].emplace_back(line);
    ready += line == "ready" ? 1 : 0;
  };
  calls.stop = [&] {
    if (!stopAsked && ready == 3) {
      stopAsked = true;
      stoppedAt = Clock::now();
    }
    return stopAsked;
  };
  calls.finished = [&](std::size_t job, const ChildEnd& end) {
    ends[job] = end;
    endedAfterStop[job] = SecondsSince(stoppedAt);
  };
  const auto start = Clock::now();
  EXPECT_FALSE(RunInPool(jobs, 3, calls));
  EXPECT_LT(SecondsSince(start), 5);
  ASSERT_EQ(ends.size(), 3u);

  EXPECT_EQ(ends[0].signal, SIGTERM);
  EXPECT_FALSE(ends[0].killed);
  for (const std::size_t deaf : {1, 2}) {
    SCOPED_TRACE(deaf);
    EXPECT_EQ(ends[deaf].signal, SIGKILL);
    EXPECT_TRUE(ends[deaf].killed);
    EXPECT_GE(endedAfterStop[deaf], 0.4);
    EXPECT_LT(endedAfterStop[deaf], 1.5);
  }
  // What the second saw: SIGTERM first (and it went on), then nothing more, as SIGKILL allows.
  EXPECT_EQ(lines[1], (std::vector<std::string>{"ready", "heard TERM"}));
  EXPECT_EQ(lines[2], (std::vector<std::string>{"ready"}));
  const RunResult result = ChildResult({}, ends[2], "Can not render", "sh");
  EXPECT_NE(result.message.find("did not end when it was asked to stop, and was killed"),
            std::string::npos)
      << result.message;
}

// Children that write their last lines (one without its newline) and end while the pool is
// busy elsewhere: every line is passed on, in order, then the end; and no descriptor of this
// process but the three standard ones is open in them, in a group of their own.
TEST(ProcessPoolTest, EveryLineOfAChildThatEndedBeforeItWasReadArrivesBeforeItsEnd) {
  // Not closed on exec: only the starter keeps it from the children.
  const int null = ::open("/dev/null", O_RDONLY);
  const int leaked = ::dup2(null, 57);
  ::close(null);
  ASSERT_EQ(leaked, 57);
  std::vector<std::vector<std::string>> jobs;
  for (int job = 0; job < 6; ++job)
    jobs.push_back(Shell("i=0; while [ $i -lt 400 ]; do echo " + std::to_string(job) +
                         "-$i-........................................ >&2; i=$((i+1)); "
                         "done; [ -e /proc/$$/fd/57 ] && echo fd57 >&2; "
                         "[ \"$(cut -d' ' -f5 /proc/$$/stat)\" = $$ ] && echo leader >&2; "
                         "printf 'last %d' " +
                         std::to_string(job) + " >&2; exit " + std::to_string(job + 3)));
  std::map<std::size_t, std::vector<std::string>> lines;
  std::map<std::size_t, ChildEnd> ends;
  PoolCalls calls;
  calls.stop = [] { return false; };
  calls.line = [&](std::size_t job, std::string_view line) {
    // The first line holds the pool long enough for the other children to end unread.
    if (lines.empty()) std::this_thread::sleep_for(milliseconds(500));
    EXPECT_FALSE(ends.contains(job)) << "a line after the end of job " << job;
    lines[job].emplace_back(line);
  };
  calls.finished = [&](std::size_t job, const ChildEnd& end) { ends[job] = end; };
  EXPECT_TRUE(RunInPool(jobs, 3, calls));
  ::close(leaked);
  ASSERT_EQ(ends.size(), jobs.size());
  for (std::size_t job = 0; job < jobs.size(); ++job) {
    SCOPED_TRACE(job);
    EXPECT_EQ(ends[job].exitCode, static_cast<int>(job) + 3);
    ASSERT_EQ(lines[job].size(), 402u);
    for (int i = 0; i < 400; ++i)
      ASSERT_TRUE(lines[job][static_cast<std::size_t>(i)].starts_with(std::to_string(job) + "-" +
                                                                      std::to_string(i) + "-"));
    EXPECT_EQ(lines[job][400], "leader");
    EXPECT_EQ(lines[job][401], "last " + std::to_string(job));
  }
}

// Two pools on two threads, and a child this process started on its own: each pool hears of
// its own children's ends, with their statuses, and the other child keeps its status for its
// own wait.
TEST(ProcessPoolTest, TwoPoolsAtOnceAndAnotherChildEachKeepTheirOwnEnds) {
  const pid_t other = ::fork();
  if (other == 0) {
    ::usleep(300'000);
    ::_exit(77);
  }
  ASSERT_GT(other, 0);
  std::mutex guard;
  std::map<int, std::map<std::size_t, int>> statuses;
  const auto pool = [&](int which) {
    std::vector<std::vector<std::string>> jobs;
    for (int job = 0; job < 12; ++job)
      jobs.push_back(Shell("sleep 0.0" + std::to_string(job % 5) + "; exit " +
                           std::to_string(which * 20 + job)));
    PoolCalls calls;
    calls.stop = [] { return false; };
    calls.finished = [&](std::size_t job, const ChildEnd& end) {
      const std::lock_guard<std::mutex> lock(guard);
      statuses[which][job] = end.exitCode;
    };
    EXPECT_TRUE(RunInPool(jobs, 3, calls));
  };
  std::thread first(pool, 1), second(pool, 2);
  first.join();
  second.join();
  for (const int which : {1, 2}) {
    ASSERT_EQ(statuses[which].size(), 12u) << which;
    for (const auto& [job, code] : statuses[which])
      EXPECT_EQ(code, which * 20 + static_cast<int>(job)) << which << " " << job;
  }
  int status = 0;
  ASSERT_EQ(::waitpid(other, &status, 0), other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 77) << status;
}

// Programs that cannot be run fail at once, each with its reason, and the jobs around them
// still run.
TEST(ProcessPoolTest, AProgramThatCannotBeExecutedFailsAtOnceSayingWhy) {
  const test::TempFolder folder;
  folder.Write("not-executable", "#!/bin/sh\nexit 0\n");
  folder.Write("not-a-program", "just words\n");
  ::chmod(folder.Path("not-a-program").c_str(), 0755);
  const std::vector<std::vector<std::string>> jobs = {
      {folder.Path("missing")},       {folder.Path("not-executable")},
      {folder.Path("not-a-program")}, {"pexol-no-such-program-anywhere"},
      {"sh", "-c", "exit 5"},         {folder.Path("")}};
  std::map<std::size_t, ChildEnd> ends;
  PoolCalls calls;
  calls.stop = [] { return false; };
  calls.finished = [&](std::size_t job, const ChildEnd& end) { ends[job] = end; };
  const auto start = Clock::now();
  EXPECT_TRUE(RunInPool(jobs, 2, calls));
  EXPECT_LT(SecondsSince(start), 2);
  ASSERT_EQ(ends.size(), jobs.size());
  const int expected[] = {ENOENT, EACCES, ENOEXEC, ENOENT, 0, EACCES};
  for (std::size_t job = 0; job < jobs.size(); ++job) {
    SCOPED_TRACE(job);
    EXPECT_EQ(ends[job].started, expected[job] == 0);
    EXPECT_EQ(ends[job].startError, expected[job]);
  }
  EXPECT_EQ(ends[4].exitCode, 5);
  const RunResult result = ChildResult({}, ends[2], "Can not transcode", jobs[2][0]);
  EXPECT_NE(result.message.find("could not be started: " + std::string(::strerror(ENOEXEC))),
            std::string::npos)
      << result.message;
}

// A child killed for not stopping in time removed nothing of its own. What it left beside its
// destination (a temporary file, and one made under the same stamped name with an ending of its
// own) and in the temporary folder (a folder of links) is removed for it; a live process's is
// not.
TEST(ProcessPoolTest, WhatAKilledChildLeftIsRemovedForIt) {
  const test::TempFolder folder;
  const fs::path temporary = folder.Folder() / "tmp";
  fs::create_directory(temporary);
  const std::string previous = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
  ::setenv("TMPDIR", temporary.c_str(), 1);
  const std::string live = TemporaryPathFor(folder.Path("out.mp4"));
  folder.Write(fs::path(live).filename().string(), "this run's");
  const std::string script =
      "stamp=.pexol-$$-$(cut -d' ' -f22 /proc/$$/stat); cd '" + folder.Folder().string() +
      "'; : >$stamp-0.tmp; : >$stamp-0.tmp.wav; mkdir tmp/$stamp-1.tmp; : "
      ">tmp/$stamp-1.tmp/media-1.png; trap '' TERM; echo ready >&2; sleep 30";
  bool ready = false;
  ChildEnd end;
  PoolCalls calls;
  calls.stopGrace = milliseconds(100);
  calls.line = [&](std::size_t, std::string_view line) { ready = ready || line == "ready"; };
  calls.stop = [&] { return ready; };
  calls.finished = [&](std::size_t, const ChildEnd& ended) { end = ended; };
  EXPECT_FALSE(RunInPool({Shell(script)}, 1, calls));
  EXPECT_TRUE(end.killed);
  EXPECT_EQ(folder.FileCount(), 4u);  // tmp, the live run's and the child's two
  EXPECT_FALSE(fs::is_empty(temporary));
  RemoveStaleTemporariesOfChildren(folder.Path("out.mp4"));
  ::setenv("TMPDIR", previous.c_str(), 1);
  if (previous.empty()) ::unsetenv("TMPDIR");
  EXPECT_EQ(folder.FileCount(), 2u);
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::is_empty(temporary));
}

// A run ended by a signal while its pool runs (a second Ctrl-C, or the first one in a command
// that does not stop by itself): its child is killed with its group and reaped, and its
// temporary folder goes with everything in it, before the process ends with status 2.
TEST(ProcessPoolTest, ARunEndedByASignalEndsItsChildrenAndRemovesItsTemporaryFolders) {
  const test::TempFolder folder;
  const fs::path building = folder.Folder() / ".pexol-building.tmp";
  const fs::path kept = folder.Folder() / "was-empty";
  fs::create_directories(building / "media" / "deep" / "er");
  fs::create_directories(kept / "inside");
  folder.Write(".pexol-building.tmp/media/deep/er/file", "bytes");
  folder.Write(".pexol-building.tmp/top", "bytes");
  folder.Write("was-empty/inside/file", "bytes");
  const std::string pidFile = folder.Path("child.pid");
  const pid_t run = ::fork();
  if (run == 0) {
    InstallRunSignals();
    RegisterTemporaryFolder(building.string());
    RegisterTemporaryFolder(kept.string(), true);
    std::thread pool([&] {
      PoolCalls calls;
      calls.stop = [] { return false; };
      calls.finished = [](std::size_t, const ChildEnd&) {};
      RunInPool({Shell("echo $$ >'" + pidFile + "'; trap '' TERM; sleep 30")}, 1, calls);
    });
    while (!fs::exists(pidFile) || fs::file_size(pidFile) == 0)
      std::this_thread::sleep_for(milliseconds(5));
    ::kill(::getpid(), SIGTERM);
    pool.join();
    ::_exit(0);
  }
  ASSERT_GT(run, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(run, &status, 0), run);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  EXPECT_FALSE(fs::exists(building));
  EXPECT_TRUE(fs::is_directory(kept));
  EXPECT_TRUE(fs::is_empty(kept));
  const pid_t child = std::stoi(folder.Read("child.pid"));
  EXPECT_NE(::kill(child, 0), 0);  // gone, not even a zombie left to its new parent
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace pexol
