// app/Application.h - the application object: runs the window and ends with it
#pragma once

#include <QApplication>
#include <QTranslator>
#include <string>

namespace pexol {

/// Installs Qt's own translations of `language` ("ja") in `translator` and the application, so
/// that file dialogs and standard buttons speak it too. False when Qt has none; English stays.
bool UseQtTranslations(QTranslator& translator, const std::string& language);

/// The project `pexol FILE...` names (the desktop entry's %F when a project is opened from a
/// file manager), absolute and in the system's separators; empty for none. One project fills
/// the pages, so the first is taken.
QString ProjectOfArguments(const QStringList& arguments);

/// The application; one per process.
class Application final : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);
  /// Shows the window and returns the exit code once it is closed.
  int Run();

 private:
  QTranslator qtTexts;
};

}  // namespace pexol
