// run/RunFrame.cpp - open, choose, read, run the body, commit, and one message for it all
#include "run/RunFrame.h"

#include <exception>
#include <memory>
#include <new>

#include "core/FileIo.h"
#include "core/FileKind.h"
#include "core/FileSignatures.h"
#include "core/OutputSet.h"
#include "core/RunFailure.h"
#include "core/Translation.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

// A text given where the project belongs fails as a damaged project would; say what it is.
std::string ProjectFailure(const RunFailure& failure, std::span<const std::uint8_t> project,
                           const std::string& path, Software used, UnknownClips unknownClips) {
  if (LooksLikeText(project))
    return FailureMessage(RunFailure(FailedInput::Project, std::string(Tr(textGivenAsProject))),
                          path, used, false);
  const bool otherReadsIt = ProbeProject(project, OtherSoftware(used), unknownClips).readable;
  return FailureMessage(failure, path, used, otherReadsIt);
}

// What a source that is no project is, in words; empty for one that may be a project. A
// signature no project carries refuses a file whatever its header; a looser kind (libmagic's
// words for anything) only one whose header cannot be a project's.
std::string NotAProjectKind(std::span<const std::uint8_t> project) {
  const auto signature = KindBySignature(project);
  if ((!signature || !signature->certain) && HeaderMayBeAProject(project)) return {};
  return DescribeFileKind(project);
}

// Real projects may carry bytes after their option block; a file that leaves more than half of
// itself, and more than an allocation unit of a disk, unread is more likely another kind of
// file, or a damaged project, read as a short project.
constexpr std::size_t mostlyUnreadFloor = 4096;

bool MostlyUnread(std::size_t unreadBytes, std::size_t fileBytes) {
  return unreadBytes > mostlyUnreadFloor && unreadBytes > fileBytes / 2;
}

std::string CompletionNote(std::size_t unreadBytes, std::span<const std::uint8_t> project,
                           Software used) {
  if (unreadBytes == 0) return {};
  const bool otherExact = ProbeProject(project, OtherSoftware(used)).Exact();
  // A warning already names the bytes.
  const bool warned = MostlyUnread(unreadBytes, project.size());
  return UnreadBytesNote(warned ? 0 : unreadBytes, used, otherExact);
}

/// The sources read whole and the destination opened beside its place; nullopt, with the
/// failure message in `failure`, when one cannot be.
struct OpenedRun {
  FileBytes project;
  FileBytes text;
};

std::optional<OpenedRun> OpenRun(const RunPlan& plan, OutputFile& output, std::string& failure) {
  std::string error;
  OpenedRun opened;
  auto project = ReadWholeFile(plan.source, error);
  if (!project) {
    failure = OpenFailureMessage(cannotOpenProjectSource, plan.source, error);
    return std::nullopt;
  }
  opened.project = std::move(*project);
  // A photo, a movie or a sound given in the project's place would fail on a record read from
  // its bytes, or worse, read as a project of garbage; say what it is instead, before any
  // record is read.
  if (!LooksLikeText(opened.project)) {
    if (const std::string kind = NotAProjectKind(opened.project); !kind.empty()) {
      failure = NotAProjectMessage(plan.source, kind);
      return std::nullopt;
    }
  }
  if (!plan.text.empty()) {
    auto text = ReadWholeFile(plan.text, error);
    if (!text) {
      failure = OpenFailureMessage(cannotOpenTextSource, plan.text, error);
      return std::nullopt;
    }
    opened.text = std::move(*text);
  }
  if (plan.destination.empty()) {
    if (plan.mayWriteNothing) return opened;
    // Writing nothing and saying "completed" would report a failure as a success.
    failure = OpenFailureMessage(plan.destinationHeadline, "\"\"", emptyDestinationName);
    return std::nullopt;
  }
  const std::string* guarded = plan.guard == RunPlan::Guard::Project ? &plan.source
                               : plan.guard == RunPlan::Guard::Text  ? &plan.text
                                                                     : nullptr;
  if (guarded != nullptr && SameFile(*guarded, plan.destination)) {
    failure = OpenFailureMessage(plan.destinationHeadline, plan.destination, plan.sameFile);
  } else if (!output.Open(plan.destination, error)) {
    failure = OpenFailureMessage(plan.destinationHeadline, plan.destination, error);
  } else {
    return opened;
  }
  return std::nullopt;
}

/// Every side file opened beside its place, then the destination and the side files replaced
/// as one set; a failure message when they cannot be, saying what was replaced if a rename
/// failed half way.
std::optional<std::string> Commit(const RunPlan& plan, OutputFile& destination,
                                  const RunOutput& output, std::vector<std::string>& warnings) {
  std::string error;
  std::vector<std::unique_ptr<OutputFile>> sides;
  std::vector<SetMember> members = {{&destination, output.bytes, output.wroteTemporary}};
  for (const SideFile& side : output.sideFiles) {
    auto file = std::make_unique<OutputFile>();
    if (SameFile(plan.source, side.path))
      return OpenFailureMessage(plan.destinationHeadline, side.path, plan.sameFile);
    if (!file->Open(side.path, error))
      return OpenFailureMessage(plan.destinationHeadline, side.path, error);
    members.push_back({file.get(), side.bytes});
    sides.push_back(std::move(file));
  }
  const SetCommit commit = CommitSet(members, output.obsolete);
  if (!commit.completed && commit.replaced.empty())
    return WriteFailureMessage(commit.failedPath, commit.reason);
  if (!commit.completed) {
    std::string replaced;
    for (const std::string& path : commit.replaced) replaced += "\n  " + path;
    std::string kept;
    for (const std::string& path : commit.kept) kept += "\n  " + path;
    return Say(
        // TRANSLATORS: {2} and {3} are lists of files, each on a line of its own.
        "Can not write destination file\n\n{0}\n{1}\nThe set was left part new. "
        "Replaced:{2}\nLeft as they were:{3}",
        commit.failedPath, Tr(commit.reason), replaced, kept);
  }
  for (const std::string& path : commit.removed)
    warnings.push_back(
        Say("\"{0}\" was removed: it held a track that this project no longer has.", path));
  return std::nullopt;
}

}  // namespace

RunResult RunOnProject(const RunPlan& plan, const RunBody& body, RunObserver& observer) {
  const ReadingPlan& reading = *plan.reading;
  OutputFile destination;
  std::string failure;
  const auto opened = OpenRun(plan, destination, failure);
  if (!opened) return RunResult::Failed(std::move(failure));
  observer.Progress(0, RunProgress::totalSteps);

  RunProgress progress(observer);
  Software used = plan.software.named;
  RunResult result;
  RunOutput output;
  std::size_t unreadBytes = 0;
  // Once the project is read, what goes wrong concerns what the run makes of it.
  bool read = false;
  try {
    ChosenReading chosen = ReadWithChoice(opened->project, plan.software, reading, progress, used);
    read = true;
    result.chosenSoftware = chosen.chosen;
    unreadBytes = chosen.project.unreadBytes;
    const int readSteps = progress.Done();
    if (!reading.afterReadingStatus.empty()) progress.Status(reading.afterReadingStatus);
    output = body(
        {chosen.project, opened->project, opened->text, progress, destination.TemporaryPath()});
    // A body that made no steps of its own takes the run's share after reading at once.
    if (progress.Done() == readSteps) progress.Step(reading.afterReadingShare);
    observer.Status("");
    if (!plan.destination.empty()) {
      if (auto commitFailure = Commit(plan, destination, output, output.warnings))
        return RunResult::Failed(std::move(*commitFailure));
    }
  } catch (const RunStopped&) {
    observer.Status("");
    return {RunResult::Status::Stopped, StoppedMessage(plan.source), std::nullopt};
  } catch (const RunFailure& runFailure) {
    observer.Status("");
    if (runFailure.Input() == FailedInput::Destination)
      return RunResult::Failed(
          OpenFailureMessage(plan.destinationHeadline, plan.destination, runFailure.what()));
    if (runFailure.Input() == FailedInput::Text)
      return RunResult::Failed(FailureMessage(runFailure, plan.text, used, false));
    return RunResult::Failed(
        ProjectFailure(runFailure, opened->project, plan.source, used, reading.unknownClips));
  } catch (const std::bad_alloc&) {
    observer.Status("");
    return RunResult::Failed(NotEnoughMemoryMessage(plan.source));
  } catch (const std::exception& unexpected) {
    // A writer or a library giving up: the destination and its temporary file go with
    // `destination`, which was not committed.
    observer.Status("");
    const bool aboutDestination = read && !plan.destination.empty();
    return RunResult::Failed(UnexpectedFailureMessage(
        aboutDestination ? plan.destination : plan.source, unexpected.what()));
  }
  result.message = std::move(output.message);
  if (reading.notesUnreadBytes)
    result.message += CompletionNote(unreadBytes, opened->project, used);
  result.outcome = std::move(output.outcome);
  result.warnings = std::move(output.warnings);
  if (MostlyUnread(unreadBytes, opened->project.size())) {
    const auto tail = std::span(opened->project).last(unreadBytes);
    result.warnings.insert(
        result.warnings.begin(),
        MostlyUnreadWarning(unreadBytes, opened->project.size(), LookOfBytes(tail)));
  }
  return result;
}

RunResult CatchUnforeseen(std::string_view path, RunObserver& observer,
                          const std::function<RunResult()>& run) {
  try {
    return run();
  } catch (const RunFailure&) {
    throw;
  } catch (const std::bad_alloc&) {
    observer.Status("");
    return RunResult::Failed(NotEnoughMemoryMessage(path));
  } catch (const std::exception& unexpected) {
    observer.Status("");
    return RunResult::Failed(UnexpectedFailureMessage(path, unexpected.what()));
  }
}

}  // namespace pexol
