// tests/app/WindowDriver.h - finds the window's controls by their ids and waits for runs
#pragma once

#include <QAbstractButton>
#include <QSignalSpy>
#include <QString>
#include <QtTest>

#include "app/MainWindow.h"
#include "app/pages/ControlIds.h"

namespace pexol {

template <class Control>
Control* Find(const QWidget& window, int id) {
  auto* control = window.findChild<Control*>(QString::number(id));
  if (control == nullptr) qFatal("no control %d", id);
  return control;
}

/// Clicks the button `id` and, when that started a run, waits until its result is shown.
inline void ClickAndWait(MainWindow& window, int id) {
  QSignalSpy ended(&window, &MainWindow::RunEnded);
  auto* button = Find<QAbstractButton>(window, id);
  QVERIFY(button->isVisible());
  QTest::mouseClick(button, Qt::LeftButton);
  if (window.Running()) QVERIFY(ended.wait(60000));
}

}  // namespace pexol
