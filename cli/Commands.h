// cli/Commands.h - the subcommands of pexol-cli
#pragma once

#include <CLI/CLI.hpp>

namespace pexol::cli {

void AddToTextCommand(CLI::App& app, int& exitCode);
void AddToProjectCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);
void AddRelinkCommand(CLI::App& app, int& exitCode);
void AddPictureCommand(CLI::App& app, int& exitCode);
void AddCollectCommand(CLI::App& app, int& exitCode);
#ifdef PEXOL_WITH_BATCH
void AddBatchCommand(CLI::App& app, int& exitCode);
#endif
#ifdef PEXOL_WITH_RENDER
void AddRenderCommand(CLI::App& app, int& exitCode);
#endif

}  // namespace pexol::cli
