// cli/TranscodeCommand.cpp - `pexol-render transcode`: one movie or still for today's editors,
// as a collect asks for each medium
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "core/Translation.h"
#include "transcode/TranscodeMedia.h"
#include "sections/ClipKind.h"

namespace pexol::cli {

void AddTranscodeCommand(CLI::App& app, int& exitCode) {
  // A still becomes PNG; every other kind is a movie's.
  static const std::map<std::string, std::string> kinds = [] {
    std::map<std::string, std::string> names{{stillKindName, stillKindName}};
    for (const TranscodeKindChoice& choice : TranscodeKinds())
      if (choice.extension) names[choice.name] = choice.name;
    return names;
  }();
  auto job = std::make_shared<TranscodeJob>();
  auto kind = std::make_shared<std::string>();
  auto* sub = app.add_subcommand(
      "transcode",
      std::string(Tr("Transcode one movie (ProRes 422 or DNxHR in .mov, H.264 in .mp4) or still "
                     "(to PNG) for today's editors, keeping its rate, size, fields, pixel shape, "
                     "timecode and sound")));
  AddFile(*sub, "SOURCE", job->source, std::string(Tr("movie or still to read")));
  AddFile(*sub, "DEST", job->destination, std::string(Tr("file to write: .mov, .mp4 or .png")));
  sub->add_option("--kind", *kind,
                  std::string(Tr("what to write: prores, dnxhr, h264 or png (a still's first "
                                 "picture); by default DEST's ending says: .png a still, .mp4 "
                                 "H.264, else ProRes")))
      ->transform(Choices(kinds))
      ->option_text("=KIND");
  sub->add_option("--from", job->firstFrame,
                  std::string(Tr("first frame of the movie kept (counted from 0 at its own "
                                 "rate)")))
      ->check(NonNegativeNumber())
      ->option_text("=N");
  sub->add_option("--to", job->lastFrame,
                  std::string(Tr("last frame kept, included; the movie's end by default")))
      ->check(NonNegativeNumber())
      ->option_text("=N");
  sub->footer(
      std::string(Tr("DEST is replaced only when the whole transcode succeeded; Ctrl-C stops it "
                     "and removes the partial file.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-render transcode 'clip 01.avi' 'clip 01.mov' --kind prores --from 120 --to "
      "899");
  sub->callback([job, kind, &exitCode] {
    // By DEST's ending when not named: a still's, or the first kind writing such files.
    const bool png = EndsWithIgnoreCase(job->destination, ".png");
    const std::optional<TranscodeKind> byFile = TranscodeKindOfFile(job->destination);
    const std::string chosen = !kind->empty() ? *kind
                               : png          ? stillKindName
                               : byFile       ? ChoiceOf(*byFile).name
                                              : ChoiceOf(TranscodeKind::ProRes).name;
    job->still = chosen == stillKindName;
    if (!job->still) job->kind = *TranscodeKindNamed(chosen);
    TerminalObserver terminal;
    StoppableObserver observer(terminal);
    RunResult result;
    {
      // The encoder ends within a frame of a stop.
      const StopOnSignals signals(std::chrono::milliseconds(400));
      result = RunTranscode(*job, observer);
    }
    exitCode = Report(result, terminal, false);
  });
}

}  // namespace pexol::cli
