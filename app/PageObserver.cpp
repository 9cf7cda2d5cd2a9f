// app/PageObserver.cpp - a run's progress shown in a page's status line and bar
#include "app/PageObserver.h"

#include <QLineEdit>
#include <QProgressBar>

namespace pexol {

PageObserver::PageObserver(QLineEdit& status, QProgressBar& progress)
    : relay(
          {status.text().toStdString(), progress.value(), progress.maximum()},
          [this] {
            QMetaObject::invokeMethod(
                this, [this] { Flush(); }, Qt::QueuedConnection);
          },
          [&status, &progress](const pages::RunShown& shown) {
            if (progress.maximum() != shown.total) progress.setRange(0, shown.total);
            progress.setValue(shown.done);
            status.setText(QString::fromStdString(shown.status));
            status.setCursorPosition(0);
          }) {}

}  // namespace pexol
