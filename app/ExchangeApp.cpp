// app/ExchangeApp.cpp - start-up: names, icon and the modal window
#include "app/ExchangeApp.h"

#include "app/AboutPage.h"
#include "app/ExchangeDlg.h"
#include "app/UserPrompts.h"
#include "core/Version.h"

namespace pexol {

CExchangeApp::CExchangeApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("pexol"));
  setApplicationVersion(QLatin1String(version));
  setDesktopFileName(QStringLiteral("pexol"));
  setWindowIcon(ProgramIcon());
}

int CExchangeApp::InitInstance() {
  QtUserPrompts prompts;
  CExchangeDlg window(prompts);
  window.exec();
  return 0;
}

}  // namespace pexol
