// check/RunMediaCheck.cpp - the check on named files: the existence test and its body in the run
// frame
#include <filesystem>
#include <system_error>

#include "check/CheckOutcome.h"
#include "check/CheckReading.h"
#include "check/MediaCheck.h"
#include "media/MediaResolver.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace fs = std::filesystem;

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

RunResult RunMediaCheck(const MediaCheckJob& job, RunObserver& observer) {
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  MediaResolver resolver(std::move(*resolve));
  // Writing the report over the project would destroy the file being checked.
  const RunPlan plan =
      RunPlan::Writing(checkReading, job.source, job.software, job.report,
                       cannotOpenTextDestination, "it is the project being checked");
  return RunOnProject(
      plan,
      [&job, &resolver](const RunInput& input) {
        MediaResolution found;
        const MediaExists exists = [&](std::string_view name) {
          found = resolver.Resolve(name);
          if (job.onReference) job.onReference(name, found);
          return found.status == MediaStatus::Found;
        };
        // A name found several times counts as missing; the message says why.
        const MediaReportStyle style{
            job.reportEncoding, [&found] {
              if (found.status != MediaStatus::Ambiguous) return std::string();
              return " (ambiguous: " + std::to_string(found.candidates.size()) +
                     " files of this name in the search folders; "
                     "--list names them)";
            }};
        ByteWriter lines;
        const MediaCheckSummary summary = ScanProjectMedia(input.project, exists, lines, style);
        return RunOutput{lines.TakeBytes(),
                         {},
                         MediaCheckMessage(job.source, summary.missingCount, summary.missingList),
                         CheckOutcome{summary.missingCount},
                         resolver.Warnings()};
      },
      observer);
}

}  // namespace pexol
