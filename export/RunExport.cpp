// export/RunExport.cpp - a project read, its timeline written to OTIO, CMX 3600, MLT, Kdenlive or
// Final Cut Pro 7 XML
#include "export/RunExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <set>

#include "core/FileIo.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "export/Cmx3600Writer.h"
#include "export/Fcp7Writer.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "media/MediaResolver.h"
#include "media/PathText.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

std::span<const ExportFormatName> ExportFormatNames() {
  static constexpr ExportFormatName names[] = {
      {ExportFormat::Otio, "otio", ".otio", "OpenTimelineIO"},
      {ExportFormat::Cmx3600, "cmx3600", ".edl", "CMX 3600"},
      {ExportFormat::Mlt, "mlt", ".mlt", "MLT (Shotcut)"},
      {ExportFormat::Kdenlive, "kdenlive", ".kdenlive", "Kdenlive"},
      {ExportFormat::Fcp7, "fcp7", ".xml", "Final Cut Pro 7 XML (Premiere Pro, Resolve)"}};
  return names;
}

namespace {

std::optional<ExportFormat> FormatOf(const ExportJob& job) {
  if (job.format != ExportFormat::FromExtension) return job.format;
  const std::string extension = PathOfUtf8(job.destination).extension().string();
  for (const ExportFormatName& name : ExportFormatNames())
    if (EqualsIgnoreCase(extension, name.extension)) return name.format;
  return std::nullopt;
}

// "the file's extension: .otio for OpenTimelineIO, ...; or name it with --format otio, ...".
std::string FormatChoices() {
  std::string extensions, names;
  const auto formats = ExportFormatNames();
  for (std::size_t f = 0; f < formats.size(); ++f) {
    const char* separator = f == 0 ? "" : f + 1 == formats.size() ? " or " : ", ";
    extensions += separator + std::string(formats[f].extension) + " for " + formats[f].label;
    names += separator + std::string(formats[f].name);
  }
  return "the format follows the file's extension: " + extensions + "; or name it with --format " +
         names + ".";
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
  /// MLT's XML can hold neither bytes that are not UTF-8 nor control characters (and MLT undoes
  /// no escape); OTIO's JSON writes such bytes as U+FFFD; an EDL keeps the bytes.
  ExportNames(ResolveOptions options, ExportFormat format)
      : resolver_(std::move(options)),
        xml_(format == ExportFormat::Mlt || format == ExportFormat::Kdenlive ||
             format == ExportFormat::Fcp7),
        json_(format == ExportFormat::Otio) {}

  std::string PathOf(std::string_view stored) {
    const MediaResolution found = resolver_.Resolve(stored);
    const bool utf8 = IsValidUtf8(found.path);
    if (xml_ && (!utf8 || HasControl(found.path)) && unfit_.empty()) unfit_ = found.path;
    if (json_ && !utf8 && notUtf8_++ == 0) firstNotUtf8_ = Escaped(found.path);
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

  /// The first path (or project name) that the XML output cannot hold, with its odd bytes as
  /// \xNN; empty when there was none.
  std::string Unfit() const { return unfit_.empty() ? "" : Escaped(unfit_); }
  void CheckName(const std::string& name) {
    if (xml_ && (!IsValidUtf8(name) || HasControl(name)) && unfit_.empty()) unfit_ = name;
  }

  std::vector<std::string> Warnings() {
    std::vector<std::string> all = resolver_.Warnings();
    all.insert(all.end(), warnings_.begin(), warnings_.end());
    if (notUtf8_ > 0)
      all.push_back(
          "\"" + firstNotUtf8_ + "\"" +
          (notUtf8_ > 1 ? " and " + std::to_string(notUtf8_ - 1) + " more paths are" : " is") +
          " not valid UTF-8; their undecodable bytes were written as U+FFFD.");
    if (missing_.size() > listedMissing)
      all.push_back(std::to_string(missing_.size() - listedMissing) +
                    " more media files were not found on this computer.");
    return all;
  }

 private:
  static std::string Printable(std::string_view stored) { return DecodeShiftJis(stored).utf8; }
  static bool HasControl(std::string_view path) {
    return std::any_of(path.begin(), path.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
  }
  // A path as a message shows it: bytes that are not UTF-8 and control characters as \xNN.
  static std::string Escaped(std::string_view path) { return pexol::Printable(path, 1000); }

  // Missing media past this many are counted, not named: an export for another computer
  // may find none of them here.
  static constexpr std::size_t listedMissing = 5;

  MediaResolver resolver_;
  bool xml_;
  bool json_;
  std::string unfit_;
  std::size_t notUtf8_ = 0;  // uses of paths that are not UTF-8 in the JSON
  std::string firstNotUtf8_;
  std::vector<std::string> warnings_;
  std::set<std::string> seen_;
  std::set<std::string> missing_;
};

// The CMX 3600 set: the main track in the destination and the other tracks beside it, where a
// file can be made beside it; files of an earlier set that this one does not write go.
void WriteCmxSet(std::vector<CmxFile> files, const std::string& destination, RunOutput& output) {
  const bool beside = IsRegularDestination(destination);
  std::vector<std::string_view> written;
  for (CmxFile& file : files) {
    if (file.suffix.empty()) {
      output.bytes = std::move(file.text);
    } else if (beside) {
      written.push_back(file.suffix);
      output.sideFiles.push_back({WithSuffix(destination, file.suffix), std::move(file.text)});
    }
  }
  if (!beside && files.size() > 1)
    output.warnings.push_back(
        "Only the main track was written; the insert and extra audio tracks are written as "
        "files beside a destination file: give a file name such as edit.edl to get every "
        "track.");
  if (!beside) return;
  // Files of an earlier export's set that this one does not write would pass for its tracks.
  for (const std::string_view suffix : {"-insert", "-exaudio1", "-exaudio2"})
    if (std::find(written.begin(), written.end(), suffix) == written.end())
      output.obsolete.push_back(WithSuffix(destination, suffix));
}

bool TimelineIsEmpty(const Timeline& timeline) {
  return timeline.main.empty() && timeline.insert.empty() && timeline.exAudio[0].empty() &&
         timeline.exAudio[1].empty() && timeline.titles.empty();
}

}  // namespace

RunResult RunExport(const ExportJob& job, RunObserver& observer) {
  const auto format = FormatOf(job);
  if (!format)
    return RunResult::Failed(OpenFailureMessage(cannotExport, job.destination, FormatChoices()));
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
  ExportNames names(std::move(*resolve), *format);

  const RunPlan plan = RunPlan::Writing(RunKind::Export, job.source, job.software, job.destination,
                                        cannotExport, "it is the project being exported");
  return RunOnProject(
      plan,
      [&](const RunInput& input) {
        const Timeline timeline = BuildTimeline(input.project);
        ExportSettings settings;
        settings.projectName = Utf8OfPath(PathOfUtf8(job.source).stem());
        names.CheckName(settings.projectName);
        settings.rate = *rate;
        settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
        settings.warn = [&names](std::string warning) { names.Warn(std::move(warning)); };
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
          case ExportFormat::Kdenlive:
            output.bytes = WriteKdenlive(timeline, settings, pathOf, counts);
            break;
          case ExportFormat::Fcp7:
            output.bytes = WriteFcp7(timeline, settings, pathOf, counts);
            break;
          case ExportFormat::Cmx3600:
          case ExportFormat::FromExtension:
            WriteCmxSet(WriteCmx3600(timeline, settings, pathOf, counts), job.destination, output);
            break;
        }
        if (const std::string unfit = names.Unfit(); !unfit.empty())
          throw RunFailure(FailedInput::Destination,
                           "the name \"" + unfit +
                               "\" holds bytes that XML cannot hold (not UTF-8, or control "
                               "characters); rename the folder or file, or name another with "
                               "--map.");
        std::vector<std::string> sidePaths;
        for (const SideFile& side : output.sideFiles) sidePaths.push_back(side.path);
        const ExportOutcome outcome{counts.tracks, counts.clips, counts.transitions};
        output.message = ExportCompletedMessage(job.source, job.destination, sidePaths, outcome);
        output.outcome = outcome;
        std::vector<std::string> warnings = names.Warnings();
        if (TimelineIsEmpty(timeline))
          warnings.push_back("the project's timeline is empty: the export holds no clips.");
        warnings.insert(warnings.end(), output.warnings.begin(), output.warnings.end());
        output.warnings = std::move(warnings);
        return output;
      },
      observer);
}

}  // namespace pexol
