// app/Application.cpp - start-up: names, icon and the window
#include "app/Application.h"

#include "app/AboutPage.h"
#include "app/MainWindow.h"
#include "app/UserPrompts.h"
#include "core/Version.h"

namespace pexol {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("pexol"));
  setApplicationVersion(QLatin1String(version));
  setDesktopFileName(QStringLiteral("pexol"));
  setWindowIcon(ProgramIcon());
}

int Application::Run() {
  QtUserPrompts prompts;
  MainWindow window(prompts);
  window.exec();
  return 0;
}

}  // namespace pexol
