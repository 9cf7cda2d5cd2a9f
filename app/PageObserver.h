// app/PageObserver.h - shows a run on its page's status line and bar, from whatever thread
#pragma once

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

#include "core/RunObserver.h"

class QLineEdit;
class QProgressBar;

namespace pexol {

/// Keeps a page's status line and progress bar up to date while a run goes on. A run on a
/// worker thread hands its lines over under a lock and asks the window's thread, by a queued
/// call, to show them; at most one such call waits at a time, so thousands of records do not
/// flood the event loop. On the window's own thread it shows them at most every
/// `repaintInterval` milliseconds; a cleared status line, a full bar and `Flush` always show.
/// Cancel sets a flag the run polls at each step.
class PageObserver final : public QObject, public RunObserver {
  Q_OBJECT

 public:
  static constexpr int repaintInterval = 40;

  PageObserver(QLineEdit& status, QProgressBar& progress);

  void Status(std::string_view line) override;
  void Progress(int done, int total) override;
  bool StopRequested() const override { return stop.load(); }
  /// Asks the run to stop at its next step; called on the window's thread.
  void RequestStop() { stop.store(true); }
  /// Shows the latest status and progress now; on the window's thread only.
  void Flush();
  /// How many times the controls were repainted; lets tests see the coalescing.
  int Repaints() const { return repaints; }

 private:
  void Changed(bool final);

  QLineEdit& status;
  QProgressBar& progress;
  QElapsedTimer sinceRepaint;
  mutable QMutex lock;  ///< guards the pending values, written by the run's thread
  QString pendingStatus;
  int pendingDone = 0;
  int pendingTotal = 0;
  bool dirty = false;
  bool flushPosted = false;
  int repaints = 0;
  std::atomic<bool> stop{false};
};

}  // namespace pexol
