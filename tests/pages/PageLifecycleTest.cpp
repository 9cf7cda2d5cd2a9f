// tests/pages/PageLifecycleTest.cpp - a page's run from its button to its message: the gate, the
// question, Cancel, and runs that throw
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "app/pages/MediaFolders.h"
#include "app/pages/Page.h"
#include "app/pages/PageRun.h"
#include "app/pages/PictureDrawing.h"
#include "support/TempFolder.h"

namespace pexol::pages {
namespace {

namespace fs = std::filesystem;

/// A page whose job is the test's (none: making it throws): a source, a destination and a run
/// row.
class JobPage final : public Page {
 public:
  explicit JobPage(Driver job) : Page("job"), job(std::move(job)) {
    source = AddFileRow(1, "source", 2, 3, OpenFile("mpj", ProjectFilter()), "job/source");
    destination = AddFileRow(4, "destination", 5, 6, SaveFile("txt", TextFilter()), "job/out");
    AddRunRow(7, "run", 8, 9, 10);
    state.PictureFrom(source);
  }
  Driver MakeRun(const MediaFolders&) override {
    if (!job) throw std::invalid_argument("no such job");
    return job;
  }

  Driver job;
  int source, destination;
};

/// A window's view of a run without a toolkit: wakes queue up for the test's thread, which
/// plays the window's and delivers them.
class TestView final : public RunView {
 public:
  void Wake() override {
    const std::lock_guard locked(lock);
    ++wakes;
    woken.notify_all();
  }
  RunShown Shown() const override { return shown; }
  void Show(const RunShown& now) override { shown = now; }
  void ShowRunning(bool running) override { runningShown.push_back(running); }
  bool Ask(const std::string& question) override {
    questions.push_back(question);
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  void ShowResult(const ShownMessage& message) override {
    messages.push_back(message);
    shown.done = 0;
  }

  /// Delivers wakes, as the window's event loop would, until the run has ended.
  void DeliverUntilEnded(PageRun& run) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (run.Running() && std::chrono::steady_clock::now() < until) {
      {
        std::unique_lock locked(lock);
        woken.wait_for(locked, std::chrono::milliseconds(50), [this] { return wakes > 0; });
        wakes = 0;
      }
      run.Deliver();
    }
  }

  RunShown shown;
  std::vector<bool> runningShown;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  std::vector<ShownMessage> messages;

 private:
  std::mutex lock;
  std::condition_variable woken;
  int wakes = 0;
};

/// Throws what it is given, after a status line.
template <class Thrown>
Driver Throwing(Thrown thrown) {
  return [thrown](RunObserver& observer) -> RunResult {
    observer.Status("[MainAV] 1 / 3");
    throw thrown;
  };
}

struct NotAnException {
  int code;
};

TEST(PageLifecycle, WhateverARunThrowsIsAFailedRunNamingItsFileAndTheWindowGoesOn) {
  const struct {
    Driver job;
    std::string reason;
  } cases[] = {
      {Throwing(std::runtime_error("the disk went away")), "the disk went away."},
      {Throwing(std::bad_alloc()), "There is not enough memory for this run."},
      {Throwing(NotAnException{7}), "An unexpected error ended it."},
      {Throwing(42), "An unexpected error ended it."},
      {nullptr, "no such job."},  // making the job threw, on the window's thread
  };
  for (const auto& each : cases) {
    JobPage page(each.job);
    page.State().SetText(page.source, "/projects/demo.mpj");
    RunGate gate;
    std::vector<bool> busy;
    gate.onBusy = [&busy](bool now) { busy.push_back(now); };
    TestView view;
    PageRun run(page, gate, view);
    ASSERT_TRUE(run.Start({}));
    EXPECT_EQ(gate.Running(), &run);
    view.DeliverUntilEnded(run);
    ASSERT_FALSE(run.Running()) << each.reason;
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "The run failed\n\n/projects/demo.mpj\n" + each.reason);
    EXPECT_TRUE(view.messages[0].exclamation);
    EXPECT_EQ(view.shown.status, "") << "the status line is cleared";
    EXPECT_EQ(view.runningShown, (std::vector<bool>{true, false}));
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(gate.Running(), nullptr);
  }
}

TEST(PageLifecycle, OneRunAtATimeAndCancelReachesIt) {
  std::atomic<bool> started{false};
  JobPage slow([&started](RunObserver& observer) {
    started = true;
    while (!observer.StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return RunResult{RunResult::Status::Stopped, "stopped", std::nullopt};
  });
  JobPage quick([](RunObserver&) { return RunResult{}; });
  RunGate gate;
  TestView slowView, quickView;
  PageRun slowRun(slow, gate, slowView);
  PageRun quickRun(quick, gate, quickView);
  ASSERT_TRUE(slowRun.Start({}));
  EXPECT_FALSE(quickRun.Start({}));
  EXPECT_FALSE(quickRun.StartUnasked({}));
  while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  slowRun.RequestStop();
  slowView.DeliverUntilEnded(slowRun);
  ASSERT_EQ(slowView.messages.size(), 1u);
  EXPECT_EQ(slowView.messages[0].text, "stopped");

  // Now the other page may run; a run stopped for closing shows nothing.
  EXPECT_TRUE(quickRun.Start({}));
  quickView.DeliverUntilEnded(quickRun);
  EXPECT_EQ(quickView.messages.size(), 1u);
  started = false;
  ASSERT_TRUE(slowRun.Start({}));
  slowRun.StopAndWait();
  EXPECT_FALSE(slowRun.Running());
  EXPECT_EQ(slowView.messages.size(), 1u);
  EXPECT_EQ(gate.Running(), nullptr);
}

TEST(PageLifecycle, ATypedDestinationThatExistsIsReplacedOnlyAfterAYes) {
  const test::TempFolder folder;
  const fs::path out = folder.Path("out.txt");
  std::ofstream(out) << "kept";
  int runs = 0;
  JobPage page([&runs](RunObserver&) {
    ++runs;
    return RunResult{};
  });
  page.State().SetText(page.destination, out.string());
  RunGate gate;
  TestView view;
  PageRun run(page, gate, view);
  EXPECT_FALSE(run.Start({}));  // no answer: No
  EXPECT_EQ(view.questions, std::vector<std::string>{ReplaceQuestion(out.string())});
  view.answers.push_back(true);
  ASSERT_TRUE(run.Start({}));
  view.DeliverUntilEnded(run);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(view.messages.at(0).exclamation);
  fs::remove(out);
}

TEST(PictureDrawingTest, AProjectThatCannotBeReadHidesThePictureAndTheLatestRequestWins) {
  std::mutex lock;
  int wakes = 0;
  std::vector<bool> shown;
  PictureDrawing drawing(
      [&] {
        const std::lock_guard locked(lock);
        ++wakes;
      },
      [&shown](std::optional<TimelineScene> scene) { shown.push_back(scene.has_value()); });
  drawing.Show({"/no/such/project.mpj"});
  drawing.Show({"/no/such/other.mpj"});  // waits for the first
  for (int turn = 0; turn < 2; ++turn) {
    drawing.Wait();
    drawing.Deliver();
  }
  EXPECT_FALSE(drawing.Drawing());
  EXPECT_EQ(shown, std::vector<bool>{false});  // only the latest is shown
  EXPECT_EQ(wakes, 2);
  drawing.Show({});  // nothing to draw hides it at once
  EXPECT_EQ(shown, (std::vector<bool>{false, false}));
}

}  // namespace
}  // namespace pexol::pages
