// app/ExchangeApp.h - the application object: runs the window and ends with it
#pragma once

#include <QApplication>

namespace pexol {

/// The application; one per process.
class CExchangeApp final : public QApplication {
  Q_OBJECT

 public:
  CExchangeApp(int& argc, char** argv);
  /// Shows the window modally and returns the exit code once it is closed.
  int InitInstance();
};

}  // namespace pexol
