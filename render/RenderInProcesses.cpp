// render/RenderInProcesses.cpp - the render program's processes started, watched, stopped and
// their pieces removed
//
// MLT and FFmpeg pull in a hundred libraries that no other command uses, so they live in a
// program of their own that this process runs; and MLT's image and text producers cannot be
// trusted with two threads, so a render uses every core by running ranges of the timeline in
// processes side by side.
#include "render/RenderInProcesses.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "core/TemporaryFiles.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "media/PathText.h"
#include "model/Timeline.h"
#include "render/RenderLayout.h"
#include "render/RenderOutcome.h"
#include "render/RenderReading.h"
#include "render/RenderSteps.h"
#include "run/ChildLines.h"
#include "run/MediaProgram.h"
#include "run/ProcessPool.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int totalSteps = RunProgress::totalSteps;
/// The steps before the first frame: the reading, as one process shows them.
constexpr int readingSteps = totalSteps - renderShare;

std::vector<std::string> WithProgram(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  std::vector<std::string> line = {program};
  line.insert(line.end(), arguments.begin(), arguments.end());
  // The child's progress and result come back as JSON lines on its standard error.
  line.insert(line.end(), {"--progress", "json"});
  return line;
}

// The folder named is the running program's: the window's or the command line's.
RunResult NoRenderProgram(const std::string& destination) {
  return RunResult::Failed(OpenFailureMessage(
      Tr(cannotRender), destination,
      Say("the render program (pexol-render), which renders with MLT and FFmpeg, is neither in "
          "{0} nor in ../libexec/pexol/ from there: install pexol whole, or name the program in "
          "PEXOL_RENDER.",
          Utf8PathName(Utf8OfPath(PathOfUtf8(ThisProgram()).parent_path())))));
}

/// Files of the steps that are not the destination, removed however the render ends; noted as
/// temporary files, so that a second Ctrl-C removes them too. A step killed for not stopping
/// in time removed nothing of its own: its temporary files beside the destination go too.
class Pieces {
 public:
  Pieces(const std::vector<RenderStep>& steps, const RenderJob& job)
      : destination_(job.destination) {
    for (const RenderStep& step : steps)
      if (step.kind == RenderStep::Kind::Range || step.kind == RenderStep::Kind::Sound)
        pieces_.push_back({step.output, RegisterTemporary(step.output)});
    // The stills the steps convert for one another beside the destination go with them; a
    // folder of that name that held something before is only emptied of them.
    if (job.stillsFolder.empty()) {
      stills_ = SharedStillsFolder(job.destination);
      std::error_code code;
      const fs::path folder = PathOfUtf8(stills_);
      if (!fs::exists(fs::symlink_status(folder, code)) && !code)
        stillsRegistration_ = RegisterTemporaryFolder(stills_);
      else if (fs::is_directory(folder, code) && fs::is_empty(folder, code))
        stillsRegistration_ = RegisterTemporaryFolder(stills_, true);
    }
  }
  ~Pieces() {
    for (const auto& [path, registration] : pieces_) {
      std::error_code ignored;
      fs::remove(PathOfUtf8(path), ignored);
      ForgetTemporary(registration);
    }
    if (!stills_.empty()) RemoveSharedStills(stills_);
    ForgetTemporary(stillsRegistration_);
    if (killed_) RemoveStaleTemporariesOfChildren(destination_);
  }
  Pieces(const Pieces&) = delete;
  Pieces& operator=(const Pieces&) = delete;
  void Killed() { killed_ = true; }

 private:
  std::vector<std::pair<std::string, int>> pieces_;
  std::string destination_;
  std::string stills_;
  int stillsRegistration_ = -1;
  bool killed_ = false;
};

/// The child's result, with the frames and seconds of the render it said it made.
RunResult RenderChildResult(ChildReport report, const ChildEnd& end, std::string_view headline,
                            const std::string& program) {
  const long long frames = report.resultFrames;
  const double seconds = report.resultSeconds;
  RunResult result = ChildResult(std::move(report), end, headline, program);
  if (frames >= 0) result.outcome = RenderOutcome{frames, seconds};
  return result;
}

/// One child's run writing `destination`, its lines passed to `onLine`; the result as the child
/// reported it. A child that completed did so whatever was asked meanwhile; one that was
/// stopped (or not started, or killed, for a stop) was stopped, which `stopped` says, and the
/// temporary files of a killed one are removed.
RunResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                   std::string_view headline, const std::string& destination,
                   const std::string& stopped, RunObserver& observer,
                   const std::function<void(const ChildReport&)>& onLine) {
  ChildReport report;
  std::optional<ChildEnd> end;
  PoolCalls calls;
  calls.finished = [&](std::size_t, const ChildEnd& ended) { end = ended; };
  calls.stop = [&] { return observer.StopRequested(); };
  calls.line = [&](std::size_t, std::string_view line) {
    ReadChildLine(line, report);
    onLine(report);
  };
  const bool ran = RunInPool({WithProgram(program, arguments)}, 1, calls);
  if (end && end->killed) RemoveStaleTemporariesOfChildren(destination);
  const bool completed = report.ended && report.result.Completed();
  if (!completed && (!ran || !end)) return {RunResult::Status::Stopped, stopped, std::nullopt};
  return RenderChildResult(std::move(report), end.value_or(ChildEnd{}), headline, program);
}

/// A render in one process, its progress shown as it comes.
RunResult RunWhole(const RenderJob& job, const std::string& program, const RenderStep& step,
                   RunObserver& observer) {
  return RunChild(program, step.arguments, Tr(cannotRender), job.destination,
                  RenderStoppedMessage(job.source, job.destination), observer,
                  [&](const ChildReport& child) {
                    observer.Progress(child.percent * totalSteps / 100, totalSteps);
                    if (child.framesDone >= 0) observer.Frames(child.framesDone, child.framesTotal);
                    observer.Status(child.status);
                  });
}

/// Where a failed step sits in the render, for its message.
std::string StepNamed(const std::vector<RenderStep>& steps, std::size_t index) {
  const RenderStep& step = steps[index];
  if (step.kind == RenderStep::Kind::Sound) return std::string(Tr("the sound of the whole render"));
  std::size_t ranges = 0;
  for (const RenderStep& each : steps) ranges += each.kind == RenderStep::Kind::Range ? 1 : 0;
  return Say("range {0} of {1} (frames {2} to {3})", index + 1, ranges, step.frames.first,
             step.frames.end - 1);
}

/// The ranges and the sound side by side, then the join.
class RangedRender {
 public:
  RangedRender(const RenderJob& job, const std::vector<RenderStep>& steps, std::string program,
               RunObserver& observer)
      : job_(job), steps_(steps), program_(std::move(program)), observer_(observer) {
    for (const RenderStep& step : steps_)
      if (step.kind == RenderStep::Kind::Range) total_ += step.frames.end - step.frames.first;
  }

  RunResult Run() {
    const auto started = Clock::now();
    Pieces pieces(steps_, job_);
    const std::size_t encoded = steps_.size() - 1;  // every step but the join
    std::vector<std::vector<std::string>> lines;
    for (std::size_t index = 0; index < encoded; ++index)
      lines.push_back(WithProgram(program_, steps_[index].arguments));
    reports_.assign(encoded, {});
    results_.assign(encoded, std::nullopt);
    observer_.Status(std::string(Tr("[Render] finding the media")));
    // The frames are counted, and their rate, from here, as one process counts them.
    started_ = Clock::now();
    observer_.Frames(0, total_);

    PoolCalls calls;
    calls.line = [&](std::size_t index, std::string_view line) {
      ReadChildLine(line, reports_[index]);
      ShowProgress();
    };
    calls.finished = [&](std::size_t index, const ChildEnd& end) {
      if (end.killed) pieces.Killed();
      results_[index] = RenderChildResult(reports_[index], end, Tr(cannotRender), program_);
      const RunResult& result = *results_[index];
      // A step ended by the stop sent to it (stopped, or ended by the signal) failed for no
      // reason of its own; one that said why it failed did, even after the stop.
      const bool ownFailure =
          result.status == RunResult::Status::Failed && (!stopSent_ || reports_[index].ended);
      if (ownFailure) failures_.push_back(index);
    };
    calls.stop = [&] {
      stopSent_ = stopSent_ || observer_.StopRequested() || StopForFailure();
      return stopSent_;
    };
    // The sound takes little beside a range, so it runs in addition to them.
    RunInPool(lines, job_.jobs + 1, calls);

    if (observer_.StopRequested()) return Stopped();
    if (!failures_.empty()) return Failed();
    if (stopSent_) return Stopped();  // not asked for, but nothing said why: no join

    observer_.Status(std::string(Tr("[Render] joining the ranges")));
    const RenderStep& join = steps_.back();
    RunResult joined = RunChild(program_, join.arguments, Tr(cannotRender), job_.destination,
                                RenderStoppedMessage(job_.source, job_.destination), observer_,
                                [](const ChildReport&) {});
    observer_.Status("");
    // Joined is joined, even when a stop came as the destination took its place.
    if (joined.Completed()) {
      observer_.Progress(totalSteps, totalSteps);
      return Completed(started, std::move(joined));
    }
    if (joined.status == RunResult::Status::Stopped || observer_.StopRequested()) return Stopped();
    return joined;
  }

 private:
  void ShowProgress() {
    std::int64_t done = 0;
    for (std::size_t index = 0; index < reports_.size(); ++index)
      if (steps_[index].kind == RenderStep::Kind::Range)
        done += std::max<std::int64_t>(reports_[index].framesDone, 0);
    if (done == 0) return;
    observer_.Frames(done, total_);
    observer_.Progress(readingSteps + static_cast<int>(done * renderShare / total_), totalSteps);
    // Counted from the processes' start, as the frames are: a rate from the first frames seen
    // would count the frames made before them in no time.
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    observer_.Status(Say("[Render] {0} fps", static_cast<long long>(rate + 0.5)));
  }

  // A failed range stops the others at once. A failed sound (its media, as a rule) waits until
  // every range has passed its own check of its media, so that the message names the range
  // that cannot be rendered rather than only the sound of all of them.
  bool StopForFailure() const {
    if (failures_.empty()) return false;
    if (steps_[failures_.front()].kind == RenderStep::Kind::Range) return true;
    for (std::size_t index = 0; index < reports_.size(); ++index)
      if (steps_[index].kind == RenderStep::Kind::Range && !results_[index] &&
          reports_[index].framesDone < 0)
        return false;
    return true;
  }

  RunResult Stopped() const {
    observer_.Status("");
    return {RunResult::Status::Stopped, RenderStoppedMessage(job_.source, job_.destination),
            std::nullopt};
  }

  RunResult Failed() const {
    observer_.Status("");
    // The range that failed first says most; the sound only when no range failed of itself.
    std::size_t chosen = failures_.front();
    for (const std::size_t index : failures_)
      if (steps_[index].kind == RenderStep::Kind::Range) {
        chosen = index;
        break;
      }
    // TRANSLATORS: {0} is the failed step's message, {1} the step ("range 2 of 4 (frames ...)").
    // A step's list of media ends its message with a new line, which the sentence after it has.
    std::string_view said = results_[chosen]->message;
    if (!said.empty() && said.back() == '\n') said.remove_suffix(1);
    RunResult failed =
        RunResult::Failed(Say("{0}\n\nThat was {1} of a render in ranges side by side; the "
                              "others were stopped and every piece removed, and {2} was left "
                              "as it was.",
                              said, StepNamed(steps_, chosen), job_.destination));
    failed.remedy = results_[chosen]->remedy;
    return failed;
  }

  RunResult Completed(Clock::time_point started, RunResult joined) const {
    RunResult result;
    const std::int64_t frames = steps_.back().frames.end - steps_.back().frames.first;
    const RenderOutcome outcome{frames,
                                std::chrono::duration<double>(Clock::now() - started).count()};
    result.message = RenderCompletedMessage(
        job_.source, job_.destination,
        FormatTimecode(job_.timecode, static_cast<std::int32_t>(frames)), outcome);
    result.outcome = outcome;
    // The sound's run tried every medium of the render, so its warnings name each once; the
    // ranges' would name them again, a part each.
    for (std::size_t index = 0; index < results_.size(); ++index) {
      const RunResult& step = *results_[index];
      if (!result.chosenSoftware) result.chosenSoftware = step.chosenSoftware;
      if (steps_[index].kind == RenderStep::Kind::Sound)
        result.warnings.insert(result.warnings.end(), step.warnings.begin(), step.warnings.end());
    }
    result.warnings.insert(result.warnings.end(), joined.warnings.begin(), joined.warnings.end());
    return result;
  }

  const RenderJob& job_;
  const std::vector<RenderStep>& steps_;
  const std::string program_;
  RunObserver& observer_;
  std::int64_t total_ = 0;  ///< the frames of every range
  std::vector<ChildReport> reports_;
  std::vector<std::optional<RunResult>> results_;
  std::vector<std::size_t> failures_;  ///< the steps that failed of themselves, in that order
  bool stopSent_ = false;              ///< the steps still running were told to stop
  Clock::time_point started_;
};

}  // namespace

std::optional<std::vector<RenderStep>> PlanRender(const RenderJob& job, RunResult& failure) {
  if (std::string problem = RenderJobProblem(job); !problem.empty()) {
    failure = RunResult::Failed(std::move(problem));
    return std::nullopt;
  }
  const RenderContainer* container = ContainerOf(job.destination);
  if (job.jobs == 1 || job.pictureOnly || container->soundOnly)
    return PlanRenderSteps(job, {});  // one step, which reads the project itself
  // The length alone: the reading is quick beside any render, and the render reads it again.
  RunPlan plan;
  plan.reading = &renderReading;
  plan.source = job.source;
  plan.software = job.software;
  plan.mayWriteNothing = true;
  plan.destinationHeadline = Tr(cannotRender);
  std::optional<FrameRange> frames;
  NullObserver quiet;
  failure = RunOnProject(
      plan,
      [&](const RunInput& input) {
        std::string error;
        frames = RenderedFrames(RenderLayout(BuildTimeline(input.project), job), job, error);
        if (!frames) throw RunFailure(FailedInput::Destination, error);
        return RunOutput{};
      },
      quiet);
  if (!failure.Completed()) return std::nullopt;
  return PlanRenderSteps(job, *frames);
}

RunResult RunRenderInProcesses(const RenderJob& job, RunObserver& observer) {
  return CatchUnforeseen(job.source, observer, [&]() -> RunResult {
    const std::string program = MediaProgram();
    if (program.empty()) return NoRenderProgram(job.destination);
    RunResult failure;
    observer.Status(std::string(Tr("[Render] reading the project")));
    const auto steps = PlanRender(job, failure);
    if (!steps) {
      observer.Status("");
      return failure;
    }
    if (steps->size() == 1) return RunWhole(job, program, steps->front(), observer);
    observer.Progress(readingSteps, totalSteps);
    return RangedRender(job, *steps, program, observer).Run();
  });
}

RunResult RunJoinInProcess(const JoinJob& job, RunObserver& observer) {
  const std::string program = MediaProgram();
  if (program.empty()) return NoRenderProgram(job.destination);
  std::vector<std::string> arguments = {"join", job.destination};
  arguments.insert(arguments.end(), job.pieces.begin(), job.pieces.end());
  if (!job.sound.empty()) arguments.insert(arguments.end(), {"--sound", job.sound});
  return RunChild(program, arguments, Tr(cannotJoin), job.destination,
                  JoinStoppedMessage(job.destination), observer, [&](const ChildReport& child) {
                    observer.Progress(child.percent * totalSteps / 100, totalSteps);
                    observer.Status(child.status);
                  });
}

}  // namespace pexol
