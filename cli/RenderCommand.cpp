// cli/RenderCommand.cpp - `pexol-cli render`: the timeline to a finished video file through MLT
#include <signal.h>

#include <atomic>
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "render/RunRender.h"

namespace pexol::cli {

namespace {

std::atomic<bool> stopAsked{false};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

// The first Ctrl-C (or SIGTERM) asks the render to stop at its next frame, so that MLT closes
// the file before the run removes it; a second one is handled as by every run: the temporary
// files go and the process ends.
void AskToStop(int signal) {
  if (!stopAsked.exchange(true)) return;
  const struct sigaction& previous = signal == SIGINT ? previousInterrupt : previousTerminate;
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
      previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
    return;
  }
  ::sigaction(signal, &previous, nullptr);
  ::raise(signal);
}

/// While it lives, SIGINT and SIGTERM ask the render to stop instead of ending the process.
class StopOnSignals {
 public:
  StopOnSignals() {
    struct sigaction ask {};
    ask.sa_handler = AskToStop;
    ::sigemptyset(&ask.sa_mask);
    installed_ =
        Install(SIGINT, ask, previousInterrupt) && Install(SIGTERM, ask, previousTerminate);
  }
  ~StopOnSignals() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
  }
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

 private:
  static bool Install(int signal, const struct sigaction& ask, struct sigaction& previous) {
    if (::sigaction(signal, nullptr, &previous) != 0) return false;
    // A shell starts background jobs with SIGINT ignored; they stay deaf to it.
    if (previous.sa_handler == SIG_IGN) return true;
    return ::sigaction(signal, &ask, nullptr) == 0;
  }
  bool installed_ = false;
};

/// The terminal's bar and status line, and the stop a signal asked for.
class RenderObserver final : public RunObserver {
 public:
  explicit RenderObserver(TerminalObserver& terminal) : terminal_(terminal) {}
  void Status(std::string_view line) override { terminal_.Status(line); }
  void Progress(int done, int total) override { terminal_.Progress(done, total); }
  bool StopRequested() const override { return stopAsked.load(); }

 private:
  TerminalObserver& terminal_;
};

}  // namespace

void AddRenderCommand(CLI::App& app, int& exitCode) {
  static const std::map<std::string, MissingMedia> missing = {{"fail", MissingMedia::Fail},
                                                              {"black", MissingMedia::Black}};
  static const std::map<std::string, TimecodeMode> rates = RatedTimecodeNames();
  std::string containers;
  const auto all = RenderContainers();
  for (std::size_t c = 0; c < all.size(); ++c)
    containers += std::string(c == 0                ? ""
                              : c + 1 == all.size() ? " or "
                                                    : ", ") +
                  all[c].extension + " (" + all[c].kind + ")";
  auto job = std::make_shared<RenderJob>();
  auto* sub = app.add_subcommand(
      "render", "Render the project's timeline to a video file (H.264 and AAC) through MLT");
  AddFile(*sub, "SOURCE", job->source, "project file (.mpj)");
  AddFile(*sub, "DEST", job->destination, "video file to write: " + containers);
  AddSoftwareOption(*sub, job->software);
  AddTimecodeOption(*sub, job->timecode, rates,
                    "a render needs a rate: NTSC 720x480 (drop or non-drop frame) or PAL "
                    "720x576; frame counts have none");
  AddMapOption(*sub, job->maps,
               "look for media under the Windows folder PREFIX in the local FOLDER (repeatable; "
               "the longest PREFIX wins)");
  AddSearchOption(*sub, job->searchFolders);
  sub->add_option("--missing", job->missing,
                  "media not found or not decoded: fail (the default: nothing is rendered, "
                  "they are listed) or black (black and silence in their place, with a "
                  "warning)")
      ->transform(CLI::CheckedTransformer(missing, CLI::ignore_case).description(""))
      ->option_text("=WHAT");
  sub->add_option("--from", job->from,
                  "first frame to render: a frame number or a timecode in the rate "
                  "(hh:mm:ss;ff drop frame, hh:mm:ss:ff otherwise)")
      ->option_text("=TIME");
  sub->add_option("--to", job->to, "frame to end before, as --from; the timeline's end by default")
      ->option_text("=TIME");
  sub->add_option("--quality", job->quality,
                  "H.264 constant quality, 0 (best, largest) to 51; 18 (the default) looks "
                  "like the source")
      ->option_text("=N");
  sub->footer(
      "Media are found as 'pexol-cli check' finds them. Ctrl-C stops the render and removes "
      "the partial file; an existing DEST is left as it was.\n\nExample:\n  pexol-cli render "
      "demo.mpj demo.mp4 --map 'C:\\Video=/media/video' --timecode pal");
  sub->callback([job, &exitCode] {
    TerminalObserver terminal;
    RenderObserver observer(terminal);
    RunResult result;
    {
      const StopOnSignals signals;
      result = RunRender(*job, observer);
    }
    exitCode = Report(result, terminal, false);
  });
}

}  // namespace pexol::cli
