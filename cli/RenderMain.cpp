// cli/RenderMain.cpp - pexol-render: the render and the join, the only commands that load MLT
// and FFmpeg, in a program that pexol-cli runs for them
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/PlatformConsole.h"
#include "core/TemporaryFiles.h"
#include "core/Version.h"
#include "render/JoinPieces.h"
#include "render/RunRender.h"

int main(int argc, char** argv) {
  pexol::InstallRunSignals();
  const pexol::platform::ConsoleSession console;
  std::vector<std::string> arguments = pexol::platform::Utf8Arguments(argc, argv);
  std::vector<char*> utf8Argv;
  for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
  CLI::App app{
      "pexol-render - renders and joins for pexol-cli, which runs it; run 'pexol-cli render' "
      "and 'pexol-cli join' instead",
      "pexol-render"};
  app.formatter(pexol::cli::HelpFormatter());
  app.set_version_flag("--version", "pexol-render " + std::string(pexol::version));
  app.require_subcommand(1);
  int exitCode = pexol::cli::exitSuccess;
  // Here the work is done in this process, the encoder ending within a second of a stop.
  const pexol::cli::RenderRunners runners{pexol::RunRender, pexol::RunJoin,
                                          std::chrono::milliseconds(400)};
  pexol::cli::AddRenderCommand(app, exitCode, runners);
  pexol::cli::AddJoinCommand(app, exitCode, runners);
  pexol::cli::AddQuietOption(app);
  pexol::cli::AddProgressOption(app);
  try {
    app.parse(static_cast<int>(utf8Argv.size()), utf8Argv.data());
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : pexol::cli::exitTrouble;
  } catch (const std::bad_alloc&) {
    pexol::cli::ReportFailure("pexol-cli: not enough memory for this run; nothing was written.",
                              pexol::cli::exitTrouble);
    return pexol::cli::exitTrouble;
  } catch (const std::exception& e) {
    pexol::cli::ReportFailure(
        std::string("pexol-cli: the run failed: ") + e.what() + "; nothing was written.",
        pexol::cli::exitTrouble);
    return pexol::cli::exitTrouble;
  }
  return exitCode;
}
