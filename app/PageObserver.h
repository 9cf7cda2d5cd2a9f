// app/PageObserver.h - shows a run on its page's status line and bar, from whatever thread
#pragma once

#include <QObject>

#include "app/pages/RunRelay.h"
#include "core/RunObserver.h"

class QLineEdit;
class QProgressBar;

namespace pexol {

/// The page layer's relay of a run's status and progress, shown in a page's status line and
/// bar: a run on a worker thread wakes the window's thread by a queued call (a call still
/// waiting when the observer goes is dropped with it).
class PageObserver final : public QObject, public RunObserver {
  Q_OBJECT

 public:
  static constexpr int repaintInterval = pages::RunRelay::repaintInterval.count();

  PageObserver(QLineEdit& status, QProgressBar& progress);

  void Status(std::string_view line) override { relay.Status(line); }
  void Progress(int done, int total) override { relay.Progress(done, total); }
  bool StopRequested() const override { return relay.StopRequested(); }
  /// Asks the run to stop at its next step; called on the window's thread.
  void RequestStop() { relay.RequestStop(); }
  /// Shows the latest status and progress now; on the window's thread only.
  void Flush() { relay.Flush(); }
  /// How many times the controls were repainted; lets tests see the coalescing.
  int Repaints() const { return relay.Repaints(); }

 private:
  pages::RunRelay relay;
};

}  // namespace pexol
