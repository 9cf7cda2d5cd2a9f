// export/RunExport.cpp - a project read, its timeline written to OTIO, CMX 3600 or MLT
#include "export/RunExport.h"

#include <cctype>
#include <filesystem>
#include <memory>
#include <set>

#include "convert/Messages.h"
#include "core/FileIo.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "export/Cmx3600Writer.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "media/MediaResolver.h"
#include "media/PathText.h"

namespace pexol {

namespace {

constexpr std::string_view cannotExport = "Can not export the timeline";

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0, {}, {}};
}

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

// A path found or made relative to the working folder (a relative --search folder or project
// path) as an absolute one, which every editor resolves; Windows forms are kept as they are.
std::string Absolute(const std::string& path) {
  const bool windows = (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                        path[1] == ':' && (path[2] == '/' || path[2] == '\\')) ||
                       path.starts_with("//") || path.starts_with("\\\\");
  const std::filesystem::path native = PathOfUtf8(path);
  if (windows || native.is_absolute()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(native, error);
  return error ? path : Utf8OfPath(absolute.lexically_normal());
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
    return Absolute(found.path);
  }

  void Warn(std::string warning) {
    if (seen_.insert(warning).second) warnings_.push_back(std::move(warning));
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
  static std::string Printable(std::string_view stored) { return DecodeShiftJis(stored).utf8; }

  // Missing media past this many are counted, not named: an export for another computer
  // may find none of them here.
  static constexpr std::size_t listedMissing = 5;

  MediaResolver resolver_;
  std::vector<std::string> warnings_;
  std::set<std::string> seen_;
  std::set<std::string> missing_;
};

std::string CountsLine(const ExportCounts& counts) {
  const auto count = [](int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
  };
  return count(counts.tracks, "track", "tracks") + ", " + count(counts.clips, "clip", "clips") +
         ", " + count(counts.transitions, "transition", "transitions");
}

}  // namespace

RunResult RunExport(const ExportJob& job, RunObserver& observer) {
  const auto format = FormatOf(job);
  if (!format)
    return Failed(OpenFailureMessage(cannotExport, job.destination,
                                     "the format follows the file's extension: .otio "
                                     "(OpenTimelineIO), .edl (CMX 3600) or .mlt (MLT, Shotcut); "
                                     "or name it with --format otio, cmx3600 or mlt."));
  const auto rate = RateOf(job.timecode);
  if (!rate)
    return Failed(OpenFailureMessage(cannotExport, job.destination,
                                     "an export is written at NTSC (drop or non-drop frame) or "
                                     "PAL rates; frame counts have no rate."));
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return Failed(std::move(error));
  OutputFile destination;
  const auto bytes = OpenProjectRun(job.source, job.destination, cannotExport,
                                    "it is the project being exported", destination, error);
  if (!bytes) return Failed(std::move(error));
  observer.Progress(0, RunProgress::totalSteps);

  Software software = job.software;
  std::optional<Software> chosen;
  RunProgress progress(observer);
  ExportCounts counts;
  ExportNames names(std::move(*resolve));
  std::vector<CmxFile> files;
  try {
    const Project project =
        ReadProjectForRun(*bytes, software, job.chooseSoftware, RunKind::ToText, progress, chosen);
    const Timeline timeline = BuildTimeline(project);
    ExportSettings settings;
    settings.projectName = Utf8OfPath(PathOfUtf8(job.source).stem());
    settings.rate = *rate;
    settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
    settings.warn = [&names](std::string warning) { names.Warn(std::move(warning)); };
    const MediaPathOf pathOf = [&names](std::string_view stored) { return names.PathOf(stored); };
    progress.Status("[Export]");
    switch (*format) {
      case ExportFormat::Otio:
        files.push_back({"", WriteOtio(timeline, settings, pathOf, counts)});
        break;
      case ExportFormat::Mlt:
        files.push_back({"", WriteMlt(timeline, settings, pathOf, counts)});
        break;
      case ExportFormat::Cmx3600:
      case ExportFormat::FromExtension:
        files = WriteCmx3600(timeline, settings, pathOf, counts);
        break;
    }
    progress.Step(edlShare);
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(ProjectFailure(failure, *bytes, job.source, software));
  }
  observer.Status("");

  // Every file is ready in memory and opened beside its place before any is replaced.
  std::vector<std::pair<std::string, std::unique_ptr<OutputFile>>> others;
  const std::string* mainText = nullptr;
  for (const CmxFile& file : files) {
    if (file.suffix.empty()) {
      mainText = &file.text;
      continue;
    }
    const std::string path = WithSuffix(job.destination, file.suffix);
    auto output = std::make_unique<OutputFile>();
    if (SameFile(job.source, path) || !output->Open(path, error))
      return Failed(OpenFailureMessage(cannotExport, path,
                                       error.empty() ? "it is the project being exported" : error));
    others.emplace_back(path, std::move(output));
  }
  static const std::string empty;
  if (!destination.Commit(mainText != nullptr ? *mainText : empty, error))
    return Failed(WriteFailureMessage(job.destination, error));
  std::size_t next = 0;
  for (const CmxFile& file : files) {
    if (file.suffix.empty()) continue;
    auto& [path, output] = others[next++];
    if (!output->Commit(file.text, error)) return Failed(WriteFailureMessage(path, error));
  }

  std::string message = "export completed\n\nfrom : " + job.source + "\n   to : " + job.destination;
  for (const auto& other : others) message += "\n      & " + other.first;
  message += "\n\n" + CountsLine(counts);
  return {RunResult::Status::Completed, std::move(message), 0, chosen, names.Warnings()};
}

}  // namespace pexol
