// app/pages/PageRun.h - a page's run from its button to its message, for either toolkit
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/pages/RunRelay.h"
#include "app/pages/RunThread.h"
#include "app/pages/WindowRules.h"

namespace pexol::pages {

class Page;
class PageRun;
struct MediaFolders;

/// One run at a time in the whole window: a page's run enters as it starts and leaves once its
/// thread has ended; every page's run button waits meanwhile.
class RunGate {
 public:
  PageRun* Running() const { return running; }
  /// Called on the window's thread as a run starts (true) and ends (false).
  std::function<void(bool busy)> onBusy;

 private:
  friend class PageRun;
  void Enter(PageRun& run);
  void Leave();

  PageRun* running = nullptr;
};

/// What a window's toolkit does for a page's run; all on the window's thread but `Wake`.
class RunView {
 public:
  /// Posts a call of the run's `Deliver` to the window's thread, and does nothing else; called
  /// from the run's thread.
  virtual void Wake() = 0;
  /// What the status line and bar show now.
  virtual RunShown Shown() const = 0;
  virtual void Show(const RunShown& shown) = 0;
  /// The page's run button turns into Cancel while its run goes on, and back.
  virtual void ShowRunning(bool running) = 0;
  /// A yes/no question; true for yes.
  virtual bool Ask(const std::string& question) = 0;
  /// The message of a run that ended; the bar empties after it.
  virtual void ShowResult(const ShownMessage& message) = 0;

 protected:
  ~RunView() = default;
};

/// A page's run: asks before a typed destination is replaced, runs the page's job on a thread
/// of its own with Cancel and the relayed progress, and shows its result once that thread has
/// ended. The run button returns at once; the end arrives through `Wake`.
class PageRun {
 public:
  PageRun(Page& page, RunGate& gate, RunView& view);
  /// Stops a run still going and waits for it.
  ~PageRun();
  PageRun(const PageRun&) = delete;
  PageRun& operator=(const PageRun&) = delete;

  bool Running() const { return thread.Busy(); }
  /// The run button: starts the page's job with `media` unless another run goes on or the
  /// user keeps a destination. True when it started.
  bool Start(const MediaFolders& media);
  /// Starts the job without asking about its destinations (a run that replaces none).
  bool StartUnasked(const MediaFolders& media);
  /// Asks the run to stop at its next step.
  void RequestStop();
  /// Stops the run and waits for its thread; the result is not shown. For closing the window.
  void StopAndWait();
  /// The wake's call: shows the latest progress, and the result once the run has ended.
  void Deliver();

  /// Called after a run's result was shown.
  std::function<void()> onEnded;

 private:
  void Finish(bool show);

  Page& page;
  RunGate& gate;
  RunView& view;
  std::unique_ptr<RunRelay> relay;
  RunThread thread;
};

}  // namespace pexol::pages
