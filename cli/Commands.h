// cli/Commands.h - the subcommands of pexol-cli
#pragma once

#include <CLI/CLI.hpp>

#ifdef PEXOL_WITH_RENDER
#include <chrono>

#include "core/RunObserver.h"
#include "render/RenderJob.h"
#include "run/RunResult.h"
#endif

namespace pexol::cli {

void AddToTextCommand(CLI::App& app, int& exitCode);
void AddToProjectCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);
void AddRelinkCommand(CLI::App& app, int& exitCode);
void AddPictureCommand(CLI::App& app, int& exitCode);
void AddCollectCommand(CLI::App& app, int& exitCode);
void AddProbeCommand(CLI::App& app, int& exitCode);    // pexol-render's, with FFmpeg
void AddPostersCommand(CLI::App& app, int& exitCode);  // pexol-render's, with FFmpeg
#ifdef PEXOL_WITH_BATCH
void AddBatchCommand(CLI::App& app, int& exitCode);
#endif
#ifdef PEXOL_WITH_RENDER
/// What does a render and a join: the render program itself, with MLT and FFmpeg, or pexol-cli
/// through it.
struct RenderRunners {
  RunResult (*render)(const RenderJob& job, RunObserver& observer);
  RunResult (*join)(const JoinJob& job, RunObserver& observer);
  /// How long a run asked to stop by a signal may take before the process ends anyway: the
  /// render program's encoder ends within a second; pexol-cli waits for its processes, which
  /// end within theirs, and removes their pieces.
  std::chrono::milliseconds stopGrace;
};
void AddRenderCommand(CLI::App& app, int& exitCode, const RenderRunners& runners);
/// "--missing fail|black": what a render does with media it cannot use; render's and batch's.
void AddMissingOption(CLI::App& command, MissingMedia& missing);
void AddJoinCommand(CLI::App& app, int& exitCode, const RenderRunners& runners);
/// `transcode`, in the render program only: it encodes with FFmpeg in its own process.
void AddTranscodeCommand(CLI::App& app, int& exitCode);
#endif

}  // namespace pexol::cli
