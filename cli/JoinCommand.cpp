// cli/JoinCommand.cpp - `pexol-cli join`: the ranges of a render and its sound in one file
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "core/Translation.h"

namespace pexol::cli {

void AddJoinCommand(CLI::App& app, int& exitCode, const RenderRunners& runners) {
  auto job = std::make_shared<JoinJob>();
  auto* sub = app.add_subcommand(
      "join",
      std::string(Tr("Join the ranges of a render made in parts ('pexol-cli render --plan') and "
                     "its sound into one video file, without encoding them again")));
  AddFile(*sub, "DEST", job->destination,
          std::string(Tr("video file to write: .mp4, .mkv or .mov")));
  sub->add_option("PIECE", job->pieces,
                  std::string(Tr("picture-only renders of consecutive ranges "
                                 "(--picture-only), in the timeline's order")))
      ->required()
      ->option_text(" ");
  sub->add_option("--sound", job->sound,
                  std::string(Tr("the sound of all the ranges, rendered once (a .m4a beside "
                                 "H.264, a .wav beside ProRes)")))
      ->option_text("=FILE");
  sub->footer(
      std::string(Tr("Every piece must have been rendered with the same options. DEST is "
                     "replaced only when the whole join succeeded; the pieces are left as they "
                     "were.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli join demo.mp4 demo.pexol-range-1-of-2.mp4 demo.pexol-range-2-of-2.mp4 "
      "--sound demo.pexol-sound.m4a");
  sub->callback([job, runners, &exitCode] {
    TerminalObserver terminal;
    StoppableObserver observer(terminal);
    RunResult result;
    {
      const StopOnSignals signals(runners.stopGrace);
      result = runners.join(*job, observer);
    }
    exitCode = Report(result, terminal, false);
  });
}

}  // namespace pexol::cli
