// app/Main.cpp - the pexol program: the desktop window
#include "app/Application.h"
#include "core/TemporaryFiles.h"

int main(int argc, char** argv) {
  pexol::InstallRunSignals();
  pexol::Application app(argc, argv);
  return app.Run();
}
