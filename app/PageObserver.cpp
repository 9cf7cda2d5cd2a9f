// app/PageObserver.cpp - a run's progress handed to the window's thread, coalesced
#include "app/PageObserver.h"

#include <QLineEdit>
#include <QMutexLocker>
#include <QProgressBar>
#include <QThread>

#include "app/DisplayText.h"

namespace pexol {

PageObserver::PageObserver(QLineEdit& status, QProgressBar& progress)
    : status(status), progress(progress), pendingStatus(status.text()) {
  pendingDone = progress.value();
  pendingTotal = progress.maximum();
  sinceRepaint.start();
}

void PageObserver::Status(std::string_view line) {
  const QString text = DecodeForDisplay(line);
  {
    QMutexLocker locked(&lock);
    pendingStatus = text;
    dirty = true;
  }
  Changed(line.empty());
}

void PageObserver::Progress(int done, int total) {
  bool started = false;
  {
    QMutexLocker locked(&lock);
    started = total != pendingTotal || done == 0;
    pendingDone = done;
    pendingTotal = total;
    dirty = true;
  }
  Changed(started || done >= total);
}

void PageObserver::Changed(bool final) {
  if (QThread::currentThread() == thread()) {
    if (final || sinceRepaint.elapsed() >= repaintInterval) Flush();
    return;
  }
  {
    QMutexLocker locked(&lock);
    if (flushPosted) return;
    flushPosted = true;
  }
  // Queued to this object: a call still waiting when the observer goes is dropped with it.
  QMetaObject::invokeMethod(
      this, [this] { Flush(); }, Qt::QueuedConnection);
}

void PageObserver::Flush() {
  QString text;
  int done = 0;
  int total = 0;
  {
    QMutexLocker locked(&lock);
    flushPosted = false;
    if (!dirty) return;
    dirty = false;
    text = pendingStatus;
    done = pendingDone;
    total = pendingTotal;
  }
  if (progress.maximum() != total) progress.setRange(0, total);
  progress.setValue(done);
  status.setText(text);
  status.setCursorPosition(0);
  ++repaints;
  sinceRepaint.restart();
}

}  // namespace pexol
