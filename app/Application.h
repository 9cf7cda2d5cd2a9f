// app/Application.h - the application object: runs the window and ends with it
#pragma once

#include <QApplication>

namespace pexol {

/// The application; one per process.
class Application final : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);
  /// Shows the window and returns the exit code once it is closed.
  int Run();
};

}  // namespace pexol
