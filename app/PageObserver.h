// app/PageObserver.h - shows a running conversion on its page's status line and progress bar
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "core/RunObserver.h"

class QLineEdit;
class QProgressBar;

namespace pexol {

/// Keeps a page's status line and progress bar up to date while a run blocks the event
/// loop. Repaints at most every `repaintInterval` milliseconds, so that thousands of records
/// do not spend the run painting; a cleared status line, a full bar and `Flush` always paint.
class PageObserver final : public RunObserver {
 public:
  static constexpr int repaintInterval = 40;

  PageObserver(QLineEdit& status, QProgressBar& progress);

  void Status(std::string_view line) override;
  void Progress(int done, int total) override;
  /// Shows the latest status and progress now.
  void Flush();
  /// How many times the controls were repainted; lets tests see the coalescing.
  int Repaints() const { return repaints; }

 private:
  void RepaintIfDue(bool final);

  QLineEdit& status;
  QProgressBar& progress;
  QElapsedTimer sinceRepaint;
  QString pendingStatus;
  int pendingDone = 0;
  int pendingTotal = 0;
  bool dirty = false;
  int repaints = 0;
};

}  // namespace pexol
