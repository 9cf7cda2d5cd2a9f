// export/RunExport.cpp - a project read, its timeline written to OTIO, CMX 3600 or MLT
#include "export/RunExport.h"

#include <filesystem>
#include <memory>
#include <set>

#include "core/FileIo.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "export/Cmx3600Writer.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "media/MediaResolver.h"
#include "media/PathText.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

std::optional<ExportFormat> FormatOf(const ExportJob& job) {
  if (job.format != ExportFormat::FromExtension) return job.format;
  const std::string extension = PathOfUtf8(job.destination).extension().string();
  if (EqualsIgnoreCase(extension, ".otio")) return ExportFormat::Otio;
  if (EqualsIgnoreCase(extension, ".edl")) return ExportFormat::Cmx3600;
  if (EqualsIgnoreCase(extension, ".mlt")) return ExportFormat::Mlt;
  return std::nullopt;
}

std::optional<ExportRate> RateOf(TimecodeMode mode) {
  switch (mode) {
    case TimecodeMode::NtscDrop:
      return ExportRate{30000, 1001, true};
    case TimecodeMode::NtscNonDrop:
      return ExportRate{30000, 1001, false};
    case TimecodeMode::Pal:
      return ExportRate{25, 1, false};
    case TimecodeMode::Frame:
      break;
  }
  return std::nullopt;
}

// "edit.edl" with "-insert" is "edit-insert.edl".
std::string WithSuffix(const std::string& destination, std::string_view suffix) {
  if (suffix.empty()) return destination;
  const std::filesystem::path path = PathOfUtf8(destination);
  const std::string extension = Utf8OfPath(path.extension());
  return destination.substr(0, destination.size() - extension.size()) + std::string(suffix) +
         extension;
}

/// Where each stored name points, with the warnings they give, each name once.
class ExportNames {
 public:
  explicit ExportNames(ResolveOptions options) : resolver_(std::move(options)) {}

  std::string PathOf(std::string_view stored) {
    const MediaResolution found = resolver_.Resolve(stored);
    if (!found.decoded)
      Warn("\"" + Printable(stored) +
           "\" is not valid Shift-JIS; its undecodable bytes were written as U+FFFD.");
    if (found.status == MediaStatus::Ambiguous)
      Warn("\"" + found.path + "\" was found in more than one place; written as stored.");
    else if (found.status == MediaStatus::Missing && missing_.insert(found.path).second &&
             missing_.size() <= listedMissing)
      Warn("\"" + found.path + "\" was not found on this computer.");
    return found.path;
  }

  std::vector<std::string> Warnings() {
    std::vector<std::string> all = resolver_.Warnings();
    all.insert(all.end(), warnings_.begin(), warnings_.end());
    if (missing_.size() > listedMissing)
      all.push_back(std::to_string(missing_.size() - listedMissing) +
                    " more media files were not found on this computer.");
    return all;
  }

 private:
  void Warn(std::string warning) {
    if (seen_.insert(warning).second) warnings_.push_back(std::move(warning));
  }
  static std::string Printable(std::string_view stored) { return DecodeShiftJis(stored).utf8; }

  // Missing media past this many are counted, not named: an export for another computer
  // may find none of them here.
  static constexpr std::size_t listedMissing = 5;

  MediaResolver resolver_;
  std::vector<std::string> warnings_;
  std::set<std::string> seen_;
  std::set<std::string> missing_;
};

}  // namespace

RunResult RunExport(const ExportJob& job, RunObserver& observer) {
  const auto format = FormatOf(job);
  if (!format)
    return RunResult::Failed(
        OpenFailureMessage(cannotExport, job.destination,
                           "the format follows the file's extension: .otio "
                           "(OpenTimelineIO), .edl (CMX 3600) or .mlt (MLT, Shotcut); "
                           "or name it with --format otio, cmx3600 or mlt."));
  const auto rate = RateOf(job.timecode);
  if (!rate)
    return RunResult::Failed(
        OpenFailureMessage(cannotExport, job.destination,
                           "an export is written at NTSC (drop or non-drop frame) or "
                           "PAL rates; frame counts have no rate."));
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  ExportNames names(std::move(*resolve));

  RunPlan plan;
  plan.kind = RunKind::Export;
  plan.source = job.source;
  plan.software = job.software;
  plan.destination = job.destination;
  plan.destinationHeadline = cannotExport;
  plan.sameFile = "it is the project being exported";
  return RunOnProject(
      plan,
      [&](const RunInput& input) {
        const Timeline timeline = BuildTimeline(input.project);
        ExportSettings settings;
        settings.projectName = Utf8OfPath(PathOfUtf8(job.source).stem());
        settings.rate = *rate;
        settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
        const MediaPathOf pathOf = [&names](std::string_view stored) {
          return names.PathOf(stored);
        };
        ExportCounts counts;
        RunOutput output;
        switch (*format) {
          case ExportFormat::Otio:
            output.bytes = WriteOtio(timeline, settings, pathOf, counts);
            break;
          case ExportFormat::Mlt:
            output.bytes = WriteMlt(timeline, settings, pathOf, counts);
            break;
          case ExportFormat::Cmx3600:
          case ExportFormat::FromExtension:
            for (CmxFile& file : WriteCmx3600(timeline, settings, pathOf, counts)) {
              if (file.suffix.empty())
                output.bytes = std::move(file.text);
              else
                output.sideFiles.push_back(
                    {WithSuffix(job.destination, file.suffix), std::move(file.text)});
            }
            break;
        }
        std::vector<std::string> sidePaths;
        for (const SideFile& side : output.sideFiles) sidePaths.push_back(side.path);
        const ExportOutcome outcome{counts.tracks, counts.clips, counts.transitions};
        output.message = ExportCompletedMessage(job.source, job.destination, sidePaths, outcome);
        output.outcome = outcome;
        output.warnings = names.Warnings();
        return output;
      },
      observer);
}

}  // namespace pexol
