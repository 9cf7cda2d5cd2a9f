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
#include "core/Translation.h"
#include "core/Version.h"

namespace pexol {

bool UseQtTranslations(QTranslator& translator, const std::string& language) {
  if (language.empty()) return false;
  if (!translator.load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return QCoreApplication::installTranslator(&translator);
}

QString ProjectOfArguments(const QStringList& arguments) {
  for (const QString& argument : arguments.mid(1))
    if (!argument.startsWith(QLatin1Char('-')))
      return QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
  return {};
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
  // The render program it starts speaks the window's language, which the about page may have
  // set apart from the system's ("en" is English, as gettext reads it).
  if (language != SystemLanguage())
    qputenv("LANGUAGE", language.empty() ? QByteArray("en") : QByteArray::fromStdString(language));
}

int Application::Run() {
  QtUserPrompts prompts;
  MainWindow window(prompts);
  const QString project = ProjectOfArguments(arguments());
  if (!project.isEmpty()) window.OpenProject(project);
  window.exec();
  return 0;
}

}  // namespace pexol
