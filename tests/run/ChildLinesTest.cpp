// tests/run/ChildLinesTest.cpp - the lines a run writes for the program that started it, written,
// passed through a real child process and read back, whole, cut short and cut off by its death
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/ChildLines.h"
#include "run/ProcessPool.h"

namespace pexol {
namespace {

/// A shell that writes `lines` to its standard error, one a line, then runs `end`.
std::vector<std::string> ChildWriting(const std::vector<std::string>& lines,
                                      const std::string& end) {
  std::vector<std::string> command = {
      "sh", "-c", "for line; do printf '%s\\n' \"$line\" >&2; done; " + end, "sh"};
  command.insert(command.end(), lines.begin(), lines.end());
  return command;
}

struct Read {
  ChildReport report;
  ChildEnd end;
  std::vector<int> percents;  ///< as each line arrived
};

Read RunChild(const std::vector<std::string>& command) {
  Read read;
  PoolCalls calls;
  calls.stop = [] { return false; };
  calls.finished = [&](std::size_t, const ChildEnd& end) { read.end = end; };
  calls.line = [&](std::size_t, std::string_view line) {
    ReadChildLine(line, read.report);
    read.percents.push_back(read.report.percent);
  };
  EXPECT_TRUE(RunInPool({command}, 1, calls));
  return read;
}

// Progress in steps and then frames, a warning with a name that is not UTF-8, the software the
// run chose and a failed result with its remedy: all arrive as they were written.
TEST(ChildLinesTest, WhatARunWritesComesBackThroughAChild) {
  ChildProgress steps;
  steps.done = 3;
  steps.total = 40;
  steps.percent = 7;
  steps.elapsed = 0.25;
  steps.status = "[MainAV] 3 / 40";
  ChildProgress frames;
  frames.done = 120;
  frames.total = 500;
  frames.frames = true;
  frames.fps = 29.971;
  frames.percent = 30;
  frames.elapsed = 4.5;
  frames.remaining = 10.5;
  frames.status = "[レンダリング] 30 fps";
  ChildEnding ending;
  ending.status = RunResult::Status::Failed;
  ending.exitCode = 1;
  ending.message = "Can not render the timeline\n\np.mpj\n1 media file is missing:\n  gone.avi\n";
  ending.software = Software::Lumetta;
  ending.remedy = Remedy::FindOrBlackOutMedia;
  ending.frames = 120;
  ending.seconds = 4.567;

  const std::vector<std::string> lines = {
      ChildProgressLine(steps), ChildProgressLine(frames), ChildWarningLine("\x89\x5E.avi short"),
      ChildSoftwareLine(Software::Lumetta), ChildResultLine(ending)};
  EXPECT_EQ(lines[1],
            R"({"done":120,"elapsed":4.5,"fps":29.97,"percent":30,"remaining":10.5,)"
            R"("status":"[レンダリング] 30 fps","total":500,"type":"progress","unit":"frames"})");
  const Read read = RunChild(ChildWriting(lines, "exit 1"));

  EXPECT_EQ(read.percents, (std::vector<int>{7, 30, 30, 30, 30}));
  EXPECT_EQ(read.report.framesDone, 120);
  EXPECT_EQ(read.report.framesTotal, 500);
  EXPECT_EQ(read.report.status, "[レンダリング] 30 fps");
  EXPECT_TRUE(read.report.notes.empty());
  ASSERT_TRUE(read.report.ended);
  EXPECT_EQ(read.report.resultFrames, 120);
  EXPECT_DOUBLE_EQ(read.report.resultSeconds, 4.57);
  const RunResult result = ChildResult(read.report, read.end, "Can not render", "sh");
  EXPECT_EQ(result.status, RunResult::Status::Failed);
  EXPECT_EQ(result.message, ending.message);
  EXPECT_EQ(result.remedy, Remedy::FindOrBlackOutMedia);
  EXPECT_EQ(result.chosenSoftware, Software::Lumetta);
  EXPECT_EQ(result.warnings, std::vector<std::string>{"\xEF\xBF\xBD^.avi short"});

  // A completed run with nothing to add, and a remedy this program does not know.
  ChildEnding done;
  done.status = RunResult::Status::Completed;
  done.message = "done";
  done.missing = 3;
  std::string newer = ChildResultLine(done);
  newer.insert(newer.size() - 1, R"(,"remedy":"buy-a-new-camera")");
  const Read plain = RunChild(ChildWriting({newer}, "exit 0"));
  ASSERT_TRUE(plain.report.ended);
  EXPECT_TRUE(plain.report.result.Completed());
  EXPECT_EQ(plain.report.result.remedy, Remedy::None);
  EXPECT_FALSE(plain.report.result.chosenSoftware);
  EXPECT_EQ(plain.report.resultFrames, -1);
}

// A child that dies, or exits, in the middle of its result line: the line it cut short is no
// result but among what it said, its progress stays, and the failure says how it ended, in the
// user's words and in English for the files other programs read.
TEST(ChildLinesTest, AChildThatEndsMidLineIsAFailureNamingHowItEnded) {
  ChildProgress progress;
  progress.done = 2;
  progress.total = 10;
  progress.percent = 20;
  progress.status = "[Render] reading";
  ChildEnding completed;
  completed.status = RunResult::Status::Completed;
  completed.message = "render completed";
  const std::string cut = ChildResultLine(completed).substr(0, 30);
  struct Case {
    std::string end;
    std::string how;
  };
  for (const Case& each :
       {Case{"kill -KILL $$", "The process sh was ended by signal 9 (Killed)."},
        Case{"exit 3", "The process sh ended with exit status 3 without saying how it went."}}) {
    SCOPED_TRACE(each.end);
    const std::string script = "printf '%s' '" + cut + "' >&2; " + each.end;
    const Read read =
        RunChild(ChildWriting({ChildProgressLine(progress), "the encoder broke"}, script));
    EXPECT_FALSE(read.report.ended);
    EXPECT_EQ(read.report.percent, 20);
    EXPECT_EQ(read.report.status, "[Render] reading");
    EXPECT_EQ(read.report.notes, (std::vector<std::string>{"the encoder broke", cut}));
    EXPECT_EQ(HowChildEnded(read.end, "sh", true), each.how);
    const RunResult result = ChildResult(read.report, read.end, "Can not render", "sh");
    EXPECT_EQ(result.status, RunResult::Status::Failed);
    EXPECT_EQ(result.message,
              "Can not render\n\n" + each.how + "\n\nIt said:\nthe encoder broke\n" + cut);
  }
}

}  // namespace
}  // namespace pexol
