// cli/Main.cpp - pexol-cli: the conversions and the media check for scripts and batch work
#include <CLI/CLI.hpp>

#include "cli/CliCommon.h"
#include "cli/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"pexol-cli - project files (.mpj) to text and back, and missing media"};
  app.set_version_flag("--version", "pexol-cli 2.12");
  app.require_subcommand(1);
  app.footer(R"(Examples:
  pexol-cli to-text demo.mpj demo.txt
  pexol-cli to-text demo.mpj - --timecode pal --csv
  pexol-cli to-project demo.mpj demo.txt edited.mpj --software corvane
  pexol-cli check demo.mpj --report missing.txt

Exit status: 0 success, 1 media missing (check), 2 any failure.)");
  int exitCode = pexol::cli::exitSuccess;
  pexol::cli::AddToTextCommand(app, exitCode);
  pexol::cli::AddToProjectCommand(app, exitCode);
  pexol::cli::AddCheckCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : pexol::cli::exitTrouble;
  }
  return exitCode;
}
