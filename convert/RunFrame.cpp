// convert/RunFrame.cpp - the frame every conversion runs in: files in, bytes out, one message
#include "convert/RunFrame.h"

#include "convert/Messages.h"
#include "convert/ProjectToText.h"
#include "convert/TextToProject.h"
#include "core/ByteWriter.h"
#include "core/FileIo.h"
#include "core/RunFailure.h"

namespace pexol {

namespace {

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0, {}};
}

std::string CompletionNote(std::size_t unreadBytes, std::span<const std::uint8_t> project,
                           Software used) {
  if (unreadBytes == 0) return {};
  const bool otherExact = ProbeProject(project, OtherSoftware(used)).Exact();
  return UnreadBytesNote(unreadBytes, used, otherExact);
}

}  // namespace

std::optional<FileBytes> OpenProjectRun(const std::string& source, const std::string& destination,
                                        std::string_view headline, std::string_view sameFile,
                                        OutputFile& output, std::string& failure) {
  std::string error;
  auto project = ReadWholeFile(source, error);
  if (!project) {
    failure = OpenFailureMessage(cannotOpenProjectSource, source, error);
  } else if (SameFile(source, destination)) {
    failure = OpenFailureMessage(headline, destination, sameFile);
  } else if (!output.Open(destination, error)) {
    failure = OpenFailureMessage(headline, destination, error);
  } else {
    return project;
  }
  return std::nullopt;
}

std::string ProjectFailure(const RunFailure& failure, std::span<const std::uint8_t> project,
                           const std::string& path, Software used) {
  // A text given where the project belongs fails as a damaged project would; say what it is.
  if (LooksLikeText(project))
    return FailureMessage(RunFailure(FailedInput::Project, std::string(textGivenAsProject)), path,
                          used, false);
  const bool otherReadsIt = ProbeProject(project, OtherSoftware(used)).readable;
  return FailureMessage(failure, path, used, otherReadsIt);
}

Project ReadProjectForRun(std::span<const std::uint8_t> bytes, Software& software, bool choose,
                          RunKind run, RunProgress& progress, std::optional<Software>& chosen,
                          UnknownClips unknownClips) {
  if (choose) {
    // The probe's reading is the run's: a project is read once when the first choice fits.
    std::optional<Project> readable;
    for (const Software candidate : {Software::CorvaneBrisko, Software::Lumetta}) {
      NullObserver quiet;
      RunProgress quietProgress(quiet);
      try {
        Project project = ReadProject(bytes, {candidate, run, unknownClips}, quietProgress);
        const bool exact = project.unreadBytes == 0 && !project.HasUnknownClips();
        if (exact || !readable) {
          readable = std::move(project);
          if (exact) break;
        }
      } catch (const RunFailure&) {
      }
    }
    if (readable) {
      chosen = software = readable->software;
      progress.Step(detail::ShareTotal(run));  // the steps the quiet reading made
      return std::move(*readable);
    }
    software = Software::CorvaneBrisko;  // neither reads it: say why with the first choice
  }
  return ReadProject(bytes, {software, run, unknownClips}, progress);
}

RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer) {
  std::string error;
  OutputFile destination;
  // The text would take the place of the project it is made from.
  const auto project = OpenProjectRun(job.source, job.destination, cannotOpenTextDestination,
                                      "it is the project being converted", destination, error);
  if (!project) return Failed(std::move(error));
  observer.Progress(0, RunProgress::totalSteps);

  ToTextOptions options = job.options;
  std::optional<Software> chosen;
  ByteWriter text;
  text.Reserve(project->size() * 2);
  std::size_t unreadBytes = 0;
  RunProgress progress(observer);
  try {
    const Project read = ReadProjectForRun(*project, options.software, job.chooseSoftware,
                                           RunKind::ToText, progress, chosen);
    WriteProjectText(read, options, text, progress);
    unreadBytes = read.unreadBytes;
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(ProjectFailure(failure, *project, job.source, options.software));
  }
  observer.Status("");
  if (!destination.Commit(text.Bytes(), error))
    return Failed(WriteFailureMessage(job.destination, error));
  return {RunResult::Status::Completed,
          ToTextCompletedMessage(job.source, job.destination) +
              CompletionNote(unreadBytes, *project, options.software),
          0, chosen};
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

  ToProjectOptions options = job.options;
  std::optional<Software> chosen;
  ByteWriter newProject;
  newProject.Reserve(project->size() + project->size() / 8);
  std::size_t unreadBytes = 0;
  RunProgress progress(observer);
  try {
    const Project read = ReadProjectForRun(*project, options.software, job.chooseSoftware,
                                           RunKind::ToProject, progress, chosen);
    const std::string_view lines(reinterpret_cast<const char*>(text->data()), text->size());
    WriteEditedProject(read, lines, options, newProject);
    unreadBytes = read.unreadBytes;
  } catch (const RunFailure& failure) {
    observer.Status("");
    if (failure.Input() == FailedInput::Text)
      return Failed(FailureMessage(failure, job.text, options.software, false));
    return Failed(ProjectFailure(failure, *project, job.source, options.software));
  }
  observer.Status("");
  if (!destination.Commit(newProject.Bytes(), error))
    return Failed(WriteFailureMessage(job.destination, error));
  return {RunResult::Status::Completed,
          ToProjectCompletedMessage(job.source, job.text, job.destination) +
              CompletionNote(unreadBytes, *project, options.software),
          0, chosen};
}

}  // namespace pexol
