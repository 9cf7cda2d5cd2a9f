// app/Application.cpp - start-up: names, icon, the language and the window
#include "app/Application.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <filesystem>

#include "app/AboutPage.h"
#include "app/MainWindow.h"
#include "app/QtSettingsStore.h"
#include "app/UserPrompts.h"
#include "app/pages/Language.h"
#include "core/Version.h"

namespace pexol {

bool UseQtTranslations(QTranslator& translator, const std::string& language) {
  if (language.empty()) return false;
  if (!translator.load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return QCoreApplication::installTranslator(&translator);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("pexol"));
  setApplicationVersion(QLatin1String(version));
  setDesktopFileName(QStringLiteral("pexol"));
  setWindowIcon(ProgramIcon());
  // Before any page is built: the pages take their texts as they are made.
  const std::string language = pages::UseWindowLanguage(
      QtSettingsStore(), std::filesystem::path(applicationDirPath().toStdU16String()));
  UseQtTranslations(qtTexts, language);
}

int Application::Run() {
  QtUserPrompts prompts;
  MainWindow window(prompts);
  // `pexol FILE`: the desktop entry's %F when a project is opened from a file manager. One
  // project fills the pages; the first is taken.
  for (const QString& argument : arguments().mid(1))
    if (!argument.startsWith(QLatin1Char('-'))) {
      window.OpenProject(QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath()));
      break;
    }
  window.exec();
  return 0;
}

}  // namespace pexol
