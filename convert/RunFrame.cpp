// convert/RunFrame.cpp - the frame every conversion runs in: files in, bytes out, one message
#include "convert/RunFrame.h"

#include "core/ByteWriter.h"
#include "core/FileIo.h"
#include "convert/Messages.h"
#include "convert/ProjectToText.h"
#include "core/RunFailure.h"
#include "core/RunProgress.h"
#include "convert/TextToProject.h"

namespace pexol {

namespace {

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0};
}

std::string ProjectFailure(const RunFailure& failure, std::span<const std::uint8_t> project,
                           const std::string& path, Software used) {
  const bool otherReadsIt = ProbeProject(project, OtherSoftware(used)).readable;
  return FailureMessage(failure, path, used, otherReadsIt);
}

std::string CompletionNote(const WalkSummary& summary, std::span<const std::uint8_t> project,
                           Software used) {
  if (summary.unreadBytes == 0) return {};
  const bool otherExact = ProbeProject(project, OtherSoftware(used)).Exact();
  return UnreadBytesNote(summary.unreadBytes, used, otherExact);
}

}  // namespace

ProjectFit ProbeProject(std::span<const std::uint8_t> project, Software software) {
  ToTextOptions options;
  options.software = software;
  ByteWriter scratch;
  NullObserver quiet;
  try {
    return {true, ProjectToText(project, options, scratch, quiet).unreadBytes};
  } catch (const RunFailure&) {
    return {};
  }
}

std::optional<Software> ChooseSoftware(std::span<const std::uint8_t> project) {
  const ProjectFit fits[2] = {ProbeProject(project, Software::CorvaneBrisko),
                              ProbeProject(project, Software::Lumetta)};
  for (int i = 0; i < 2; ++i)
    if (fits[i].Exact()) return static_cast<Software>(i);
  for (int i = 0; i < 2; ++i)
    if (fits[i].readable) return static_cast<Software>(i);
  return std::nullopt;
}

RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer) {
  std::string error;
  const auto project = ReadWholeFile(job.source, error);
  if (!project) return Failed(OpenFailureMessage(cannotOpenProjectSource, job.source, error));
  // The text would take the place of the project it is made from.
  if (SameFile(job.source, job.destination))
    return Failed(OpenFailureMessage(cannotOpenTextDestination, job.destination,
                                     "it is the project being converted"));
  OutputFile destination;
  if (!destination.Open(job.destination, error))
    return Failed(OpenFailureMessage(cannotOpenTextDestination, job.destination, error));
  observer.Progress(0, RunProgress::totalSteps);

  ByteWriter text;
  WalkSummary summary;
  try {
    summary = ProjectToText(*project, job.options, text, observer);
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(ProjectFailure(failure, *project, job.source, job.options.software));
  }
  if (!destination.Commit(text.Bytes(), error))
    return Failed(WriteFailureMessage(job.destination, error));
  return {RunResult::Status::Completed,
          ToTextCompletedMessage(job.source, job.destination) +
              CompletionNote(summary, *project, job.options.software),
          0};
}

RunResult RunTextToProject(const ToProjectJob& job, RunObserver& observer) {
  std::string error;
  const auto project = ReadWholeFile(job.source, error);
  if (!project) return Failed(OpenFailureMessage(cannotOpenProjectSource, job.source, error));
  const auto text = ReadWholeFile(job.text, error);
  if (!text) return Failed(OpenFailureMessage(cannotOpenTextSource, job.text, error));
  // The new project would take the place of the edited text; the source project may be
  // replaced, since it is read whole before anything is written.
  if (SameFile(job.text, job.destination))
    return Failed(OpenFailureMessage(cannotOpenProjectDestination, job.destination,
                                     "it is the text being converted"));
  OutputFile destination;
  if (!destination.Open(job.destination, error))
    return Failed(OpenFailureMessage(cannotOpenProjectDestination, job.destination, error));
  observer.Progress(0, RunProgress::totalSteps);

  ByteWriter newProject;
  WalkSummary summary;
  try {
    const std::string_view lines(reinterpret_cast<const char*>(text->data()), text->size());
    summary = TextToProject(*project, lines, job.options, newProject, observer);
  } catch (const RunFailure& failure) {
    observer.Status("");
    if (failure.Input() == FailedInput::Text)
      return Failed(FailureMessage(failure, job.text, job.options.software, false));
    return Failed(ProjectFailure(failure, *project, job.source, job.options.software));
  }
  if (!destination.Commit(newProject.Bytes(), error))
    return Failed(WriteFailureMessage(job.destination, error));
  return {RunResult::Status::Completed,
          ToProjectCompletedMessage(job.source, job.text, job.destination) +
              CompletionNote(summary, *project, job.options.software),
          0};
}

}  // namespace pexol
