// export/RunExport.cpp - a project read, its timeline laid out once and written in a format of
// the table
#include "export/RunExport.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "core/FileIo.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "export/ExportFormats.h"
#include "export/ExportOutcome.h"
#include "export/ExportReading.h"
#include "media/MediaCount.h"
#include "media/MediaResolver.h"
#include "media/OutputPath.h"
#include "media/PathText.h"
#include "model/ClipCount.h"
#include "probe/ClipsPastMedia.h"
#include "probe/ProbeMedia.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

const ExportFormat* FormatOf(const ExportJob& job) {
  return job.format.empty() ? ExportFormatOfPath(job.destination) : ExportFormatNamed(job.format);
}

// "the file's extension: .otio for OpenTimelineIO, ...; or name it with --format otio, ...".
std::string FormatChoices() {
  return Say("the format follows the file's extension: {0}; or name it with --format {1}.",
             ListOfFormats([](const ExportFormat& format) {
               // TRANSLATORS: {0} is an extension such as .otio, {1} the format's name.
               return Say("{0} for {1}", format.extensions.front(), format.label);
             }),
             ListOfFormats([](const ExportFormat& format) { return std::string(format.name); }));
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
  /// XML can hold neither bytes that are not UTF-8 nor control characters; JSON and AAF write
  /// such bytes as U+FFFD; an EDL keeps the bytes.
  ExportNames(ResolveOptions options, ExportContent content)
      : resolver_(std::move(options)),
        xml_(content == ExportContent::Xml),
        json_(content == ExportContent::Json || content == ExportContent::Utf16) {}

  MediaReference ReferenceOf(std::string_view stored) {
    const MediaResolution found = resolver_.Resolve(stored);
    // What the document holds is what must fit: a name relative to it leaves out the folders
    // above it, whatever they are named in.
    std::string written = Relative(OutputPath(found.path));
    if (xml_ && !XmlCanHold(written) && unfit_.empty()) unfit_ = written;
    if (json_ && !JsonCanHold(written) && notUtf8_++ == 0) firstNotUtf8_ = Escaped(written);
    if (!found.decoded)
      Warn(Say("\"{0}\" is not valid Shift-JIS; its undecodable bytes were written as U+FFFD.",
               Printable(stored)));
    if (found.status == MediaStatus::Ambiguous)
      Warn(Say("\"{0}\" was found in more than one place; written as stored.", found.path));
    else if (found.status == MediaStatus::Missing &&
             missing_.insert(MediaFileKey(stored, found)).second &&
             missing_.size() <= listedMissing)
      Warn(Say("\"{0}\" was not found on this computer.", found.path));
    if (found.status == MediaStatus::Found) foundPaths_.emplace(std::string(stored), found.path);
    return {std::string(stored), std::move(written), found.status == MediaStatus::Found};
  }

  /// Where a stored name was found on this computer, as it opens here; null when it was not.
  const std::string* FoundPath(const std::string& stored) const {
    const auto at = foundPaths_.find(stored);
    return at != foundPaths_.end() ? &at->second : nullptr;
  }

  /// Names media under `folder` relative to it from now on.
  void RelativeTo(std::filesystem::path folder) { relativeTo_ = std::move(folder); }

  void Warn(std::string warning) {
    if (seen_.insert(warning).second) warnings_.push_back(std::move(warning));
  }

  /// Why the XML output cannot be written, naming the first path (or project name) it cannot
  /// hold and what to do; empty when it can hold them all.
  std::string Unfit() const {
    if (unfit_.empty()) return {};
    // Bytes that are not UTF-8 show escaped: decoded, the name would look as valid as any.
    const std::string shown = EscapedPath(unfit_);
    if (IsValidUtf8(unfit_))
      return Say("the name \"{0}\" holds control characters, which XML cannot hold.", shown);
    // A folder copied from a Japanese Windows drive: its name read as it was meant.
    const std::string reading = Utf8PathName(unfit_);
    if (reading.find("(x") == std::string::npos)
      return Say(
          "the path \"{0}\" is not UTF-8, and XML holds no other names; in Shift-JIS it "
          "reads \"{1}\". Collect the project (pexol-cli collect, or \"collect...\" on "
          "the find page), which gives its media UTF-8 names, or rename the folder to "
          "UTF-8, for example with convmv -r -f cp932 -t utf-8 --notest FOLDER.",
          shown, reading);
    return Say(
        "the path \"{0}\" is not UTF-8, and XML holds no other names. Collect the project "
        "(pexol-cli collect, or \"collect...\" on the find page), which gives its media "
        "UTF-8 names, or rename the folder to UTF-8.",
        shown);
  }
  /// The name it cannot hold is UTF-8 with control characters, which another name mends.
  bool UnfitIsControlCharacters() const { return !unfit_.empty() && IsValidUtf8(unfit_); }
  void CheckName(const std::string& name) {
    if (xml_ && !XmlCanHold(name) && unfit_.empty()) unfit_ = name;
  }

  std::vector<std::string> Warnings() {
    std::vector<std::string> all = resolver_.Warnings();
    all.insert(all.end(), warnings_.begin(), warnings_.end());
    if (notUtf8_ == 1)
      all.push_back(
          Say("\"{0}\" is not valid UTF-8; their undecodable bytes were written as U+FFFD.",
              firstNotUtf8_));
    else if (notUtf8_ > 1)
      all.push_back(
          SayN(notUtf8_ - 1,
               "\"{0}\" and {1} more path are not valid UTF-8; their undecodable bytes were "
               "written as U+FFFD.",
               "\"{0}\" and {1} more paths are not valid UTF-8; their undecodable bytes were "
               "written as U+FFFD.",
               firstNotUtf8_, notUtf8_ - 1));
    if (missing_.size() > listedMissing)
      all.push_back(SayN(missing_.size() - listedMissing,
                         "{0} more media file was not found on this computer.",
                         "{0} more media files were not found on this computer.",
                         missing_.size() - listedMissing));
    return all;
  }

 private:
  static std::string Printable(std::string_view stored) { return DecodeShiftJis(stored).utf8; }
  // `path` from the folder given, when it lies under it; as it is otherwise.
  std::string Relative(std::string path) const {
    if (relativeTo_.empty() || path.empty()) return path;
    const std::filesystem::path relative = std::filesystem::absolute(PathOfUtf8(path))
                                               .lexically_normal()
                                               .lexically_relative(relativeTo_);
    if (relative.empty() || *relative.begin() == "..") return path;
    return relative.generic_string();
  }

  // A path as a message shows it: bytes that are not UTF-8 and control characters as \xNN.
  static std::string Escaped(std::string_view path) { return pexol::Printable(path, 1000); }

  // Missing media past this many are counted, not named: an export for another computer
  // may find none of them here.
  static constexpr std::size_t listedMissing = 5;

  MediaResolver resolver_;
  std::filesystem::path relativeTo_;  // empty: paths stay absolute
  bool xml_;
  bool json_;
  std::string unfit_;
  std::size_t notUtf8_ = 0;  // uses of paths that are not UTF-8 in the JSON
  std::string firstNotUtf8_;
  std::vector<std::string> warnings_;
  std::set<std::string> seen_;
  std::set<std::string> missing_;  // each missing file once, as every count of files tells them
  std::map<std::string, std::string> foundPaths_;  // stored name to the file found
};

/// Reads the files the timeline found for their lengths: each reference gets its file's length
/// at the export's rate, and each clip that needs more frames than its file holds a note.
void AddMediaLengths(ExportTimeline& laid, const Timeline& timeline, const ExportSettings& settings,
                     ExportNames& names, const std::function<bool()>& stop) {
  const ExportRate& rate = settings.rate;
  std::vector<std::string> paths;
  std::map<std::string, std::size_t> indexOf;
  for (const MediaReference& reference : laid.references)
    if (const std::string* path = reference.found ? names.FoundPath(reference.stored) : nullptr)
      if (indexOf.emplace(*path, paths.size()).second) paths.push_back(*path);
  if (paths.empty()) return;
  const std::vector<MediaFacts> facts = ProbeMedia(paths, stop);
  const Fraction exportRate{rate.numerator, rate.denominator};
  const auto factsOf = [&](const std::string& stored) -> const MediaFacts* {
    const std::string* path = names.FoundPath(stored);
    return path != nullptr ? &facts[indexOf.at(*path)] : nullptr;
  };
  for (MediaReference& reference : laid.references) {
    const MediaFacts* file = reference.found ? factsOf(reference.stored) : nullptr;
    if (file == nullptr) continue;
    if (const std::optional<std::int64_t> frames = FramesAt(*file, exportRate))
      reference.length = FileLength{*frames, file->frameRate.numerator, file->frameRate.denominator,
                                    file->seconds};
  }
  const auto held = [&](const std::string& stored) -> std::optional<std::int64_t> {
    const MediaFacts* file = factsOf(stored);
    return file != nullptr ? FramesAt(*file, exportRate) : std::nullopt;
  };
  const NoteTaker said{laid.notes, settings};
  for (const ClipPastMedia& clip : ClipsPastMedia(timeline, held))
    said.Clip(NoteKind::PastMediaEnd, *clip.item);
}

/// The notes of the layout as the run tells them: kind ids, record timecodes at the export's
/// rate, sentences in the run's language.
std::vector<FormatNote> NotesOf(const ExportTimeline& laid) {
  const TimecodeMode mode = TimecodeModeOf(laid.rate);
  std::vector<FormatNote> notes;
  for (const ExportNote& note : laid.notes.List()) {
    FormatNote shown{std::string(NoteKindId(note.kind)),
                     note.count,
                     {},
                     std::string(Tr(NoteSentence(note.kind))),
                     NoteNamesTransitions(note.kind)};
    for (const NotedClip& clip : note.clips)
      shown.clips.push_back({FormatTimecode(mode, clip.record.Value()), clip.name});
    notes.push_back(std::move(shown));
  }
  return notes;
}

// The format's files: the first in the destination and the others beside it, where a file can
// be made beside it; files of an earlier set that this one does not write go.
void PlaceFiles(const ExportFormat& format, std::vector<ExportFile> files,
                const std::string& destination, RunOutput& output) {
  const bool beside = IsRegularDestination(destination);
  std::vector<std::string> written;
  for (ExportFile& file : files) {
    if (file.suffix.empty()) {
      output.bytes = std::move(file.bytes);
    } else if (beside) {
      written.push_back(file.suffix);
      output.sideFiles.push_back({WithSuffix(destination, file.suffix), std::move(file.bytes)});
    }
  }
  if (!beside && files.size() > 1)
    output.warnings.push_back(
        Say("Only the main track was written; the insert and extra audio tracks are written as "
            "files beside a destination file: give a file name such as edit{0} to get every "
            "track.",
            format.extensions.front()));
  if (!beside) return;
  // Files of an earlier export's set that this one does not write would pass for its tracks.
  for (const std::string& suffix : format.files)
    if (!suffix.empty() && std::find(written.begin(), written.end(), suffix) == written.end())
      output.obsolete.push_back(WithSuffix(destination, suffix));
}

bool TimelineIsEmpty(const Timeline& timeline) {
  return timeline.main.empty() && timeline.insert.empty() && timeline.exAudio[0].empty() &&
         timeline.exAudio[1].empty() && timeline.titles.empty();
}

}  // namespace

RunResult RunExport(const ExportJob& job, RunObserver& observer) {
  const ExportFormat* format = FormatOf(job);
  if (!format)
    return RunResult::Failed(
        OpenFailureMessage(Tr(cannotExport), job.destination, FormatChoices()));
  const auto rate = ExportRateOf(job.timecode);
  if (!rate)
    return RunResult::Failed(
        OpenFailureMessage(Tr(cannotExport), job.destination,
                           Tr("an export is written at NTSC (drop or non-drop frame) or "
                              "PAL rates; frame counts have no rate.")));
  std::string error;
  const FormatOptions options = OptionsFor(*format, job.options, error);
  if (!error.empty())
    return RunResult::Failed(OpenFailureMessage(Tr(cannotExport), job.destination, error));
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  ExportNames names(std::move(*resolve), format->content);
  if (job.relativeMedia && format->mediaRelative)
    names.RelativeTo(
        std::filesystem::absolute(PathOfUtf8(job.destination)).lexically_normal().parent_path());

  const RunPlan plan = RunPlan::Writing(exportReading, job.source, job.software, job.destination,
                                        Tr(cannotExport), Tr("it is the project being exported"));
  bool unfitName = false;
  RunResult result = RunOnProject(
      plan,
      [&](const RunInput& input) {
        const Timeline timeline = BuildTimeline(input.project);
        LayoutRules rules = LayoutRulesFor(*format);
        // The timeline's name: a project file named in Shift-JIS is decoded for the formats
        // that hold only UTF-8; an EDL keeps its bytes, as it keeps the paths'.
        rules.projectName = Utf8OfPath(PathOfUtf8(job.source).stem());
        if (format->content != ExportContent::Bytes)
          rules.projectName = Utf8FileName(rules.projectName);
        names.CheckName(rules.projectName);
        rules.rate = *rate;
        rules.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
        rules.resolve = [&names](std::string_view stored) { return names.ReferenceOf(stored); };
        ExportTimeline laid = LayOutTimeline(timeline, rules);
        if (job.readMediaLengths)
          AddMediaLengths(laid, timeline, rules, names,
                          [&observer] { return observer.StopRequested(); });
        ExportWritten written = format->write(laid, options);
        if (std::string unfit = names.Unfit(); !unfit.empty()) {
          unfitName = names.UnfitIsControlCharacters();
          throw RunFailure(FailedInput::Destination, std::move(unfit));
        }
        RunOutput output;
        PlaceFiles(*format, std::move(written.files), job.destination, output);
        std::vector<std::string> sidePaths;
        for (const SideFile& side : output.sideFiles) sidePaths.push_back(side.path);
        const ExportCounts& counts = written.counts;
        // The clips are the project's, whatever the format could hold of them.
        const ExportOutcome outcome{counts.tracks, static_cast<int>(ClipCount(timeline)),
                                    counts.transitions, format->name, NotesOf(laid)};
        output.message =
            ExportCompletedMessage(job.source, job.destination, sidePaths, outcome, format->label);
        output.outcome = outcome;
        std::vector<std::string> warnings = names.Warnings();
        if (TimelineIsEmpty(timeline))
          warnings.emplace_back(Tr("the project's timeline is empty: the export holds no clips."));
        warnings.insert(warnings.end(), output.warnings.begin(), output.warnings.end());
        output.warnings = std::move(warnings);
        return output;
      },
      observer);
  if (unfitName && !result.Completed()) result.remedy = Remedy::RenameOrMapFolder;
  return result;
}

}  // namespace pexol
