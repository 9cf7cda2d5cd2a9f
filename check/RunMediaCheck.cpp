// check/RunMediaCheck.cpp - the check on named files: the existence test, the run frame, the
// message
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "check/MediaCheck.h"
#include "convert/Messages.h"
#include "core/FileIo.h"
#include "core/RunFailure.h"
#include "core/RunProgress.h"
#include "media/MediaResolver.h"
#include "media/PathText.h"
#include "model/Project.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0, {}};
}

}  // namespace

bool MediaWalkReads(std::span<const std::uint8_t> project, Software software) {
  return ProbeProject(project, software, UnknownClips::Keep).readable;
}

std::optional<Software> ChooseCheckSoftware(std::span<const std::uint8_t> project) {
  // A conversion that reads the file exactly to its end is the strongest sign; the check's
  // own walk also passes clips of no known kind, which a conversion refuses.
  constexpr Software choices[] = {Software::CorvaneBrisko, Software::Lumetta};
  for (Software software : choices)
    if (ProbeProject(project, software).Exact()) return software;
  for (Software software : choices)
    if (MediaWalkReads(project, software)) return software;
  return std::nullopt;
}

bool MediaFileExists(std::string_view name) {
  // The system would cut the name at a NUL byte and test another file.
  if (name.empty() || name.find('\0') != std::string_view::npos) return false;
  try {
    std::error_code code;
    const fs::file_status status = fs::status(fs::path(name), code);
    return fs::exists(status) && !fs::is_directory(status);
  } catch (const std::exception&) {  // a name the platform cannot convert names no file
    return false;
  }
}

std::string MediaCheckMessage(std::string_view source, const MediaCheckSummary& summary) {
  std::string message = "complete\n\n" + std::string(source) + "\n\n";
  if (summary.missingCount == 0) return message + "0 file undetected";
  message += summary.missingCount == 1 ? std::string("1 file undetected")
                                       : std::to_string(summary.missingCount) + " files undetected";
  return message + "\n\n" + summary.missingList + "\n";
}

RunResult RunMediaCheck(const MediaCheckJob& job, RunObserver& observer) {
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return Failed(std::move(error));
  OutputFile report;
  // Writing the report over the project would destroy the file being checked.
  const auto project = OpenProjectRun(job.source, job.report, cannotOpenTextDestination,
                                      "it is the project being checked", report, error);
  if (!project) return Failed(std::move(error));
  observer.Progress(0, RunProgress::totalSteps);

  MediaResolver resolver(std::move(*resolve));
  MediaResolution found;
  const MediaExists exists = [&](std::string_view name) {
    found = resolver.Resolve(name);
    if (job.onReference) job.onReference(name, found);
    return found.status == MediaStatus::Found;
  };
  // A name found several times counts as missing; its line says why.
  const MediaReportStyle style{job.reportEncoding, [&found] {
                                 if (found.status != MediaStatus::Ambiguous) return std::string();
                                 return " (ambiguous: " + std::to_string(found.candidates.size()) +
                                        " files of this name in the search folders; --list "
                                        "names them)";
                               }};

  ByteWriter lines;
  MediaCheckSummary summary;
  Software software = job.software;
  std::optional<Software> chosen;
  RunProgress progress(observer);
  try {
    const Project read = ReadProjectForRun(*project, software, job.chooseSoftware, RunKind::Check,
                                           progress, chosen, UnknownClips::Keep);
    summary = ScanProjectMedia(read, exists, lines, style);
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(FailureMessage(failure, job.source, software,
                                 MediaWalkReads(*project, OtherSoftware(software))));
  }
  observer.Status("");
  if (!report.Commit(lines.Bytes(), error)) return Failed(WriteFailureMessage(job.report, error));
  return {RunResult::Status::Completed, MediaCheckMessage(job.source, summary),
          summary.missingCount, chosen, resolver.Warnings()};
}

}  // namespace pexol
