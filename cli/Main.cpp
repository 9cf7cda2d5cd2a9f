// cli/Main.cpp - pexol-cli: the conversions and the media check for scripts and batch work
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "cli/Documents.h"
#include "core/PlatformConsole.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "core/Version.h"
#ifdef PEXOL_WITH_RENDER
#include "render/RenderInProcesses.h"
#endif

namespace {

// The commands and every text of their help, in the language chosen before.
std::unique_ptr<CLI::App> MakeApp(int& exitCode) {
  auto made = std::make_unique<CLI::App>(
      std::string(pexol::Tr("pexol-cli - video project files (.mpj) to text and back, their "
                            "media found and moved, their timelines exported")),
      "pexol-cli");
  CLI::App& app = *made;
  app.formatter(pexol::cli::HelpFormatter());
  // The help flag first, as CLI11 places it, and before the commands, which copy it.
  app.set_help_flag("-h,--help", std::string(pexol::Tr("Print this help message and exit")));
  app.set_version_flag("--version", "pexol-cli " + std::string(pexol::version),
                       std::string(pexol::Tr("Display program version information and exit")));
  app.require_subcommand(1);
  pexol::cli::AddToTextCommand(app, exitCode);
  pexol::cli::AddToProjectCommand(app, exitCode);
  pexol::cli::AddCheckCommand(app, exitCode);
  pexol::cli::AddExportCommand(app, exitCode);
  pexol::cli::AddRelinkCommand(app, exitCode);
  pexol::cli::AddPictureCommand(app, exitCode);
#ifdef PEXOL_WITH_RENDER
  // The render program does them, in processes of its own: nothing else loads MLT or FFmpeg.
  const pexol::cli::RenderRunners runners{pexol::RunRenderInProcesses, pexol::RunJoinInProcess,
                                          std::chrono::milliseconds(2500)};
  pexol::cli::AddRenderCommand(app, exitCode, runners);
  pexol::cli::AddJoinCommand(app, exitCode, runners);
#endif
  pexol::cli::AddCollectCommand(app, exitCode);
#ifdef PEXOL_WITH_BATCH
  pexol::cli::AddBatchCommand(app, exitCode);
#endif
  pexol::cli::AddQuietOption(app);  // on every command added above
  pexol::cli::AddProgressOption(app);
  // Set after the commands, which would otherwise repeat it under their own help.
  app.footer(std::string(pexol::Tr("Run 'pexol-cli COMMAND --help' for a command's options.")) +
             "\n\n" + std::string(pexol::Tr("Examples:")) +
             R"(
  pexol-cli to-text demo.mpj demo.txt
  pexol-cli to-project demo.mpj demo.txt edited.mpj
  pexol-cli check demo.mpj --search ~/footage --list
  pexol-cli export demo.mpj demo.otio
  pexol-cli relink demo.mpj moved.mpj --map 'C:\Video=D:\Video'
  pexol-cli picture demo.mpj demo.svg
  pexol-cli collect demo.mpj /media/archive/demo --format mlt
)"
#ifdef PEXOL_WITH_RENDER
             R"(  pexol-cli render demo.mpj demo.mp4 --search ~/footage
)"
#endif
#ifdef PEXOL_WITH_BATCH
             R"(  pexol-cli batch ~/projects --out ~/converted --format otio --text
)"
#endif
             "\n" +
             std::string(pexol::Tr("Exit status:")) + " " +
             std::string(pexol::Tr("0 success, 1 media missing (check), 2 any failure.")));
  return made;
}

}  // namespace

int main(int argc, char** argv) {
  pexol::InstallRunSignals();
  const pexol::platform::ConsoleSession console;
  // UTF-8 on every system, as the file calls and the messages expect.
  std::vector<std::string> arguments = pexol::platform::Utf8Arguments(argc, argv);
  if (arguments.size() >= 3 && arguments[1] == pexol::cli::writeDocumentsFlag) {
    const std::vector<std::string> languages(arguments.begin() + 3, arguments.end());
    return pexol::cli::WriteDocuments(
        [] {
          static int unused = 0;
          return MakeApp(unused);
        },
        arguments[2], languages);
  }
  pexol::cli::UseLanguageOf(arguments);
  int exitCode = pexol::cli::exitSuccess;
  const std::unique_ptr<CLI::App> app = MakeApp(exitCode);
  if (const std::string unknown = pexol::cli::UnknownCommandMessage(*app, arguments);
      !unknown.empty()) {
    std::cerr << unknown << "\n";
    return pexol::cli::exitTrouble;
  }
  return pexol::cli::ParseAndRun(*app, arguments, exitCode, "pexol-cli");
}
