// check/RunMediaCheck.cpp - the check on named files: the existence test and its body in the run
// frame
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "check/CheckOutcome.h"
#include "check/CheckReading.h"
#include "check/MediaCheck.h"
#include "core/Translation.h"
#include "media/MediaResolver.h"
#include "model/Timeline.h"
#include "probe/ClipsPastMedia.h"
#include "probe/ProbeMedia.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace fs = std::filesystem;

namespace {

/// What the walk found, for the probe: each stored name's file, and the files in the order
/// first found.
struct FoundMedia {
  std::map<std::string, std::string, std::less<>> pathOf;
  std::vector<std::string> paths;
  std::set<std::string, std::less<>> listed;

  void Add(std::string_view stored, const std::string& path) {
    if (pathOf.emplace(std::string(stored), path).second && listed.insert(path).second)
      paths.push_back(path);
  }
};

/// Probes what was found: tells the job each file's facts and warns of clips past their file's
/// end, in the frames of the rate the project's movies run at.
void ProbeFoundMedia(const MediaCheckJob& job, const Project& project, const FoundMedia& found,
                     const std::function<bool()>& stop, std::vector<std::string>& warnings) {
  if (found.paths.empty()) return;
  const std::vector<MediaFacts> facts = ProbeMedia(found.paths, stop);
  std::map<std::string, const MediaFacts*, std::less<>> factsOf;
  for (std::size_t i = 0; i < facts.size(); ++i) {
    factsOf.emplace(found.paths[i], &facts[i]);
    // Without the media program nothing is known, and nothing is said.
    if (job.onProbed && facts[i].kind != MediaKind::Unknown) job.onProbed(found.paths[i], facts[i]);
  }
  const Fraction rate = ProjectRateOf(facts);
  const auto held = [&](const std::string& stored) -> std::optional<std::int64_t> {
    const auto path = found.pathOf.find(stored);
    if (path == found.pathOf.end()) return std::nullopt;
    return FramesAt(*factsOf.at(path->second), rate);
  };
  const Timeline timeline = BuildTimeline(project);
  for (std::string& warning : ClipsPastMediaWarnings(ClipsPastMedia(timeline, held)))
    warnings.push_back(std::move(warning));
}

}  // namespace

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
                       cannotOpenTextDestination, ToTranslate("it is the project being checked"));
  return RunOnProject(
      plan,
      [&job, &resolver, &observer](const RunInput& input) {
        const std::function<bool()> stops = [&observer] { return observer.StopRequested(); };
        MediaResolution found;
        FoundMedia media;
        MediaCount count;
        const MediaExists exists = [&](std::string_view name) {
          found = resolver.Resolve(name);
          count.Add(name, found);
          if (job.onReference) job.onReference(name, found);
          if (job.probe && found.status == MediaStatus::Found) media.Add(name, found.path);
          return found.status == MediaStatus::Found;
        };
        // A name found several times counts as missing; the message says why.
        const MediaReportStyle style{
            job.reportEncoding, [&found] {
              if (found.status != MediaStatus::Ambiguous) return std::string();
              return " " + SayN(found.candidates.size(),
                                "(ambiguous: {0} file of this name in the search folders; "
                                "--list names them)",
                                "(ambiguous: {0} files of this name in the search folders; "
                                "--list names them)",
                                found.candidates.size());
            }};
        ByteWriter lines;
        const MediaCheckSummary summary = ScanProjectMedia(input.project, exists, lines, style);
        std::vector<std::string> warnings = resolver.Warnings();
        if (job.probe) ProbeFoundMedia(job, input.project, media, stops, warnings);
        return RunOutput{lines.TakeBytes(),
                         {},
                         MediaCheckMessage(job.source, summary.missingCount, summary.missingList),
                         CheckOutcome{summary.missingCount, std::move(count)},
                         std::move(warnings)};
      },
      observer);
}

}  // namespace pexol
