// app/Main.cpp - the pexol program: the desktop window
#include "app/ExchangeApp.h"
#include "core/TemporaryFiles.h"

int main(int argc, char** argv) {
  pexol::InstallRunSignals();
  pexol::CExchangeApp app(argc, argv);
  return app.InitInstance();
}
