// check/RunMediaCheck.cpp - the check on named files: the existence test, the run frame, the
// message
#include <filesystem>
#include <system_error>

#include "check/MediaCheck.h"
#include "core/FileIo.h"
#include "convert/Messages.h"
#include "core/RunFailure.h"
#include "core/RunProgress.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0};
}

}  // namespace

bool MediaWalkReads(std::span<const std::uint8_t> project, Software software) {
  const MediaExists allPresent = [](std::string_view) { return true; };
  ByteWriter scratch;
  NullObserver quiet;
  try {
    ScanProjectMedia(project, software, allPresent, scratch, quiet);
    return true;
  } catch (const RunFailure&) {
    return false;
  }
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
    return fs::exists(fs::path(name), code);
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
  const auto project = ReadWholeFile(job.source, error);
  if (!project) return Failed(OpenFailureMessage(cannotOpenProjectSource, job.source, error));
  // Writing the report over the project would destroy the file being checked.
  if (SameFile(job.source, job.report))
    return Failed(OpenFailureMessage(cannotOpenTextDestination, job.report,
                                     "it is the project being checked"));
  OutputFile report;
  if (!report.Open(job.report, error))
    return Failed(OpenFailureMessage(cannotOpenTextDestination, job.report, error));
  observer.Progress(0, RunProgress::totalSteps);

  ByteWriter lines;
  MediaCheckSummary summary;
  try {
    summary = ScanProjectMedia(*project, job.software, MediaFileExists, lines, observer);
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(FailureMessage(failure, job.source, job.software,
                                 MediaWalkReads(*project, OtherSoftware(job.software))));
  }
  if (!report.Commit(lines.Bytes(), error)) return Failed(WriteFailureMessage(job.report, error));
  return {RunResult::Status::Completed, MediaCheckMessage(job.source, summary),
          summary.missingCount};
}

}  // namespace pexol
