// app/Main.cpp - the pexol program: the desktop window
#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "core/PlatformPath.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "core/Version.h"

namespace {

// TRANSLATORS: the options' names stay as they are; the descriptions may move to keep one
// column.
constexpr std::string_view usage = pexol::ToTranslate(
    "Usage: pexol [Qt options] [PROJECT]\n"
    "\n"
    "The desktop window of pexol: video project files (.mpj) to text and back, their media\n"
    "found, their timelines exported and rendered. Every page remembers its fields.\n"
    "PROJECT, when given, is put into every page's source field.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as Qt takes them. For scripts and\n"
    "batch work use the command line: run 'pexol-cli --help'.\n");

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts: no display is needed to read them.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      // The system's language: the about page's choice is Qt's setting, read once Qt starts.
      pexol::UseCatalogue(
          pexol::FindCatalogue(pexol::SystemLanguage(), pexol::platform::ProgramFolder()));
      const std::string_view text = pexol::Tr(usage);
      std::fwrite(text.data(), 1, text.size(), stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("pexol %.*s\n", static_cast<int>(pexol::version.size()), pexol::version.data());
      return 0;
    }
  }
  pexol::InstallRunSignals();
  pexol::Application app(argc, argv);
  return app.Run();
}
