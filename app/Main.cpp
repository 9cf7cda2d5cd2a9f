// app/Main.cpp - the pexol program: the desktop window
#include "app/ExchangeApp.h"

int main(int argc, char** argv) {
  pexol::CExchangeApp app(argc, argv);
  return app.InitInstance();
}
