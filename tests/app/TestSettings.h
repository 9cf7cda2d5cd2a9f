// tests/app/TestSettings.h - keeps the window's remembered settings away from the user's own
#pragma once

#include <QSettings>
#include <QTemporaryDir>

namespace pexol {

/// Points the settings at a folder of its own for the life of the test program; `Clear`
/// brings every test back to a first start.
class TestSettings {
 public:
  TestSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  }
  QString Folder() const { return folder.path(); }
  void Clear() { QSettings(QStringLiteral("pexol"), QStringLiteral("pexol")).clear(); }

 private:
  QTemporaryDir folder;
};

}  // namespace pexol
