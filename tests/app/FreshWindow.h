// tests/app/FreshWindow.h - what each of the window's tests starts from: no remembered
// settings, an empty folder of its own, prompts the test answers, and the window shown
#pragma once

#include <QSize>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "app/MainWindow.h"

namespace pexol {

/// The base of a window's test class: `OpenFreshWindow` in its `init`, `CloseWindow` in its
/// `cleanup`.
class FreshWindowTest : public QObject {
 protected:
  /// A first start, the window shown at `size` (its own when empty).
  void OpenFreshWindow(QSize size = {}) {
    settings.Clear();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    prompts = std::make_unique<FakePrompts>();
    window = std::make_unique<MainWindow>(*prompts);
    if (!size.isEmpty()) window->resize(size);
    window->show();
  }
  void CloseWindow() {
    window.reset();
    prompts.reset();
  }
  QString Path(const QString& name) const { return folder->filePath(name); }

  TestSettings settings;
  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<MainWindow> window;
};

}  // namespace pexol
