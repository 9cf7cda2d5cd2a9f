// cli/RenderMain.cpp - pexol-render: the render, the join, the probe and the transcode, the only
// commands that load MLT and FFmpeg, in a program that pexol-cli runs for them
#include <CLI/CLI.hpp>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "core/PlatformConsole.h"
#include "core/PlatformPath.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "core/Version.h"
#include "join/JoinPieces.h"
#include "render/RunRender.h"

namespace {

// pexol-cli passes its messages on: in the language pexol-cli speaks, which its environment
// tells this program. Installed, this program lies a folder deeper than pexol-cli
// (libexec/pexol/ beside bin/), so the catalogue beside pexol-cli is found from the folder
// above this one; in the build tree the two lie side by side.
void UseLanguageOfPexolCli(const std::vector<std::string>& arguments) {
  if (pexol::cli::RunsInEnglish(arguments)) {
    pexol::cli::UseLanguageOf(arguments);
    return;
  }
  const std::string language = pexol::SystemLanguage();
  const std::filesystem::path folder = pexol::platform::ProgramFolder();
  auto catalogue = pexol::FindCatalogue(language, folder);
  if (!catalogue) catalogue = pexol::FindCatalogue(language, folder.parent_path());
  pexol::UseCatalogue(std::move(catalogue));
}

}  // namespace

int main(int argc, char** argv) {
  pexol::InstallRunSignals();
  const pexol::platform::ConsoleSession console;
  std::vector<std::string> arguments = pexol::platform::Utf8Arguments(argc, argv);
  UseLanguageOfPexolCli(arguments);
  CLI::App app{std::string(pexol::Tr("pexol-render - renders, joins, probes and transcodes for "
                                     "pexol-cli, which runs it; run 'pexol-cli render', 'join', "
                                     "'check' and 'collect' instead")),
               "pexol-render"};
  app.formatter(pexol::cli::HelpFormatter());
  app.set_help_flag("-h,--help", std::string(pexol::Tr("Print this help message and exit")));
  app.set_version_flag("--version", "pexol-render " + std::string(pexol::version),
                       std::string(pexol::Tr("Display program version information and exit")));
  app.require_subcommand(1);
  int exitCode = pexol::cli::exitSuccess;
  // Here the work is done in this process, the encoder ending within a second of a stop.
  const pexol::cli::RenderRunners runners{pexol::RunRender, pexol::RunJoin,
                                          std::chrono::milliseconds(400)};
  pexol::cli::AddRenderCommand(app, exitCode, runners);
  pexol::cli::AddJoinCommand(app, exitCode, runners);
  pexol::cli::AddProbeCommand(app, exitCode);
  pexol::cli::AddPostersCommand(app, exitCode);
  pexol::cli::AddTranscodeCommand(app, exitCode);
  pexol::cli::AddQuietOption(app);
  pexol::cli::AddProgressOption(app);
  // Its messages are pexol-cli's, which runs it and passes them on.
  return pexol::cli::ParseAndRun(app, arguments, exitCode, "pexol-cli");
}
