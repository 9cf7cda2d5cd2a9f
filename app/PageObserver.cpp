// app/PageObserver.cpp - coalesced repaints of a page during a run
#include "app/PageObserver.h"

#include <QLineEdit>
#include <QProgressBar>

#include "app/ShiftJis.h"

namespace pexol {

PageObserver::PageObserver(QLineEdit& status, QProgressBar& progress)
    : status(status), progress(progress), pendingStatus(status.text()) {
  pendingDone = progress.value();
  pendingTotal = progress.maximum();
  sinceRepaint.start();
}

void PageObserver::Status(std::string_view line) {
  pendingStatus = DecodeForDisplay(line);
  dirty = true;
  RepaintIfDue(line.empty());
}

void PageObserver::Progress(int done, int total) {
  const bool started = total != pendingTotal || done == 0;
  pendingDone = done;
  pendingTotal = total;
  dirty = true;
  RepaintIfDue(started || done >= total);
}

void PageObserver::Flush() {
  if (!dirty) return;
  if (progress.maximum() != pendingTotal) progress.setRange(0, pendingTotal);
  progress.setValue(pendingDone);
  status.setText(pendingStatus);
  status.setCursorPosition(0);
  status.repaint();
  progress.repaint();
  dirty = false;
  ++repaints;
  sinceRepaint.restart();
}

void PageObserver::RepaintIfDue(bool final) {
  if (final || sinceRepaint.elapsed() >= repaintInterval) Flush();
}

}  // namespace pexol
