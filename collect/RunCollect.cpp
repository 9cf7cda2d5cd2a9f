// collect/RunCollect.cpp - the collect's body: plan, copy into a temporary folder, rename, export
#include "collect/RunCollect.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

#include "check/CheckOutcome.h"
#include "collect/CollectPlan.h"
#include "collect/CollectReading.h"
#include "collect/CollectReport.h"
#include "collect/CopyVerified.h"
#include "collect/TranscodeFiles.h"
#include "core/FileReplace.h"
#include "core/PlatformPath.h"
#include "core/RunFailure.h"
#include "core/SystemReason.h"
#include "core/TemporaryFiles.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "media/MediaResolver.h"
#include "relink/RelinkProject.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

/// Room kept free beyond the media and the project: the folder entries and the exports.
constexpr std::uintmax_t spareBytes = std::uintmax_t{16} << 20;

/// A folder of the run's: removed with everything in it (or only emptied, for one that was there
/// empty before) unless kept. Noted as a temporary folder before it is made, so that a run
/// ended by a signal at any moment removes it too.
class FolderOfTheRun {
 public:
  FolderOfTheRun() = default;
  ~FolderOfTheRun() { Remove(); }
  FolderOfTheRun(const FolderOfTheRun&) = delete;
  FolderOfTheRun& operator=(const FolderOfTheRun&) = delete;

  void Hold(fs::path path, bool keepFolder) {
    Remove();
    path_ = std::move(path);
    keepFolder_ = keepFolder;
    registration_ = RegisterTemporaryFolder(platform::Utf8Of(path_), keepFolder);
  }
  const fs::path& Path() const { return path_; }
  void Remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    if (!keepFolder_) {
      fs::remove_all(path_, ignored);
    } else {
      for (fs::directory_iterator entry(path_, ignored), end; !ignored && entry != end;
           entry.increment(ignored))
        fs::remove_all(entry->path(), ignored);
    }
    Keep();
  }
  void Keep() {
    ForgetTemporary(registration_);
    registration_ = -1;
    path_.clear();
  }

 private:
  fs::path path_;
  bool keepFolder_ = false;
  int registration_ = -1;
};

bool WriteNewFile(const fs::path& path, std::string_view bytes, std::string& error) {
  int createError = 0;
  platform::UniqueFile file = platform::CreateReplacement(platform::Utf8Of(path), {}, createError);
  if (!file) {
    error = Say("cannot create \"{0}\": {1}", Utf8PathName(platform::Utf8Of(path)),
                SystemReason(createError));
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0 || !platform::SyncFile(file.get()) ||
      std::fclose(file.release()) != 0) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot write \"{0}\": {1}", Utf8PathName(platform::Utf8Of(path)), reason);
    return false;
  }
  return true;
}

// Why `folder` may not be collected into; empty when it is new or an empty folder.
std::string FolderRefusal(const fs::path& folder, bool& existsEmpty) {
  std::error_code code;
  const fs::file_status status = fs::symlink_status(folder, code);
  existsEmpty = false;
  if (!fs::exists(status)) {
    const fs::path parent = folder.parent_path().empty() ? fs::path(".") : folder.parent_path();
    if (!fs::is_directory(parent, code))
      return Say("the folder \"{0}\" that should hold it does not exist; create it first",
                 Utf8PathName(platform::Utf8Of(parent)));
    return {};
  }
  if (!fs::is_directory(status))
    return std::string(Tr("it exists and is not a folder; choose a new folder"));
  if (!fs::is_empty(folder, code) || code)
    return std::string(
        Tr("the folder exists and is not empty; a collect writes only into a new or empty "
           "folder, so that nothing is overwritten"));
  existsEmpty = true;
  return {};
}

// The reason in a failed transcode's message, on one line for the report: what follows its
// headline, which names the file the report names already.
std::string WhyNot(const std::string& message) {
  const std::size_t blank = message.find("\n\n");
  std::string reason = blank == std::string::npos ? message : message.substr(blank + 2);
  std::replace(reason.begin(), reason.end(), '\n', ' ');
  return reason;
}

// The export's file name for `format` beside the project: its stem and the format's extension.
std::string ExportName(const std::string& stem, const std::string& format) {
  const ExportFormat* row = ExportFormatNamed(format);
  return row ? stem + row->extensions.front() : stem;
}

RunResult Collect(const CollectJob& job, RunObserver& observer, CollectSummary* summaryOut) {
  // Names in messages as a UTF-8 terminal shows them, whatever encoding the folders have.
  const std::string shownSource = Utf8PathName(job.source);
  if (std::string problem = CollectJobProblem(job); !problem.empty())
    return RunResult::Failed(Say("Can not collect \"{0}\"\n\n{1}", shownSource, problem));
  std::string folderText = job.folder;
  while (folderText.size() > 1 && (folderText.back() == '/' || folderText.back() == '\\'))
    folderText.pop_back();
  const std::string shownFolder = Utf8PathName(folderText);
  const fs::path folder = platform::PathOf(folderText);
  const auto failed = [&shownSource, &shownFolder](std::string detail) {
    // The frame ends the sentence: a reason quoted whole (an export's message) has its own stop.
    for (const std::string_view stop : {".", "\xE3\x80\x82"})  // "。"
      if (detail.ends_with(stop)) detail.resize(detail.size() - stop.size());
    // TRANSLATORS: {2} is the reason, a sentence without its full stop.
    return RunResult::Failed(
        Say("Can not collect \"{0}\" into \"{1}\"\n\n{2}.", shownSource, shownFolder, detail));
  };
  bool existsEmpty = false;
  if (const std::string refusal = FolderRefusal(folder, existsEmpty); !refusal.empty())
    return failed(refusal);
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  MediaResolver resolver(std::move(*resolve));
  RemoveStaleTemporaries(folderText);

  // The collected project and its exports are named in UTF-8 like its media.
  const fs::path sourcePath = platform::PathOf(job.source);
  const std::string projectName = Utf8FileName(platform::Utf8Of(sourcePath.filename()));
  const std::string stem = Utf8FileName(platform::Utf8Of(sourcePath.stem()));
  CollectSummary summary;
  for (const std::string& format : job.formats) summary.exports.push_back(ExportName(stem, format));
  std::optional<std::string> failure;
  Software used = job.software.named;
  // From the rename into place to the last export the folder is the run's result being
  // placed: a run ended meanwhile for not stopping waits, and a failure removes it.
  std::optional<PlacingResults> placing;
  FolderOfTheRun placed;

  // Read as a render is: the sections take a few steps and the body (the copying) the rest.
  RunPlan plan = RunPlan::Writing(collectReading, job.source, job.software, {}, {}, {});
  plan.mayWriteNothing = true;  // the body builds its folder itself
  RunResult result = RunOnProject(
      plan,
      [&](const RunInput& input) -> RunOutput {
        used = input.project.software;
        input.progress.Status(std::string(Tr("[Collect] finding the media")));
        CollectPlan collect = PlanCollect(input.project, resolver);
        PlanTranscodes(collect, input.project, job.transcode);
        if (job.transcode.kind != TranscodeKind::Copy) {
          input.progress.Status(std::string(Tr("[Collect] reading the movies' lengths")));
          ProbeMovies(collect, [&observer] { return observer.StopRequested(); });
          input.progress.StopIfRequested();
        }
        std::error_code code;
        const fs::path parent = folder.parent_path().empty() ? fs::path(".") : folder.parent_path();
        const fs::space_info space = fs::space(parent, code);
        const std::uintmax_t needed =
            (job.link ? 0 : collect.totalBytes) + input.projectBytes.size() + spareBytes;
        if (!code && space.available < needed) {
          failure =
              Say("there is not room enough in \"{0}\": {1} are needed, {2} are free; nothing was "
                  "written",
                  Utf8PathName(platform::Utf8Of(parent)), ShownByteCount(needed),
                  ShownByteCount(space.available));
          return {};
        }
        FolderOfTheRun building;
        building.Hold(platform::PathOf(TemporaryPathFor(folderText)), false);
        if (!fs::create_directory(building.Path(), code) ||
            !fs::create_directory(building.Path() / "media", code)) {
          failure = Say("cannot create a folder beside \"{0}\" to build it in: {1}", shownFolder,
                        SystemReason(code));
          return {};
        }

        const int shareSteps = RunProgress::totalSteps - input.progress.Done();
        std::uintmax_t done = 0;
        int stepped = 0;
        std::size_t copiedFiles = 0;
        std::string transcodeStatus;
        const auto status = [&] {
          if (!transcodeStatus.empty()) return input.progress.Status(transcodeStatus);
          const std::size_t file = std::min<std::size_t>(copiedFiles + 1, collect.files.size());
          input.progress.Status(SayN(collect.files.size(), "[Collect] {0} / {1} file, {2} of {3}",
                                     "[Collect] {0} / {1} files, {2} of {3}", file,
                                     collect.files.size(), ShownByteCount(done),
                                     ShownByteCount(collect.totalBytes)));
        };
        // The bytes in the status move with the bar: a large file takes many steps.
        const auto advance = [&](std::uintmax_t bytes) {
          done += bytes;
          const int due = collect.totalBytes == 0
                              ? shareSteps
                              : static_cast<int>(static_cast<double>(done) * shareSteps /
                                                 static_cast<double>(collect.totalBytes));
          if (due > stepped && stepped < shareSteps) {
            status();
            input.progress.Step(std::min(due, shareSteps) - stepped);
            stepped = std::min(due, shareSteps);
          }
        };
        const auto stop = [&observer] { return observer.StopRequested(); };
        const auto copy = [&](const CollectedFile& file) {
          status();
          const fs::path target = building.Path() / "media" / platform::PathOf(file.output);
          fs::create_directories(target.parent_path(), code);
          const std::string targetText = platform::Utf8Of(target);
          const auto copied =
              CopyVerified(file.source, targetText, job.link, file.bytes, advance, stop, error);
          if (!copied) {
            failure = Say("{0}; nothing was left behind", error);
            return false;
          }
          ++copiedFiles;
          ++summary.files;
          summary.bytes += copied->bytes;
          if (copied->linked) ++summary.linked;
          return true;
        };
        for (const CollectedFile& file : collect.files)
          if (file.action == FileAction::Copy && !copy(file)) return {};

        // The transcodes, side by side; a file that cannot be read is copied as it was.
        std::vector<TranscodeTask> tasks;
        std::vector<std::size_t> fileOfTask;
        for (std::size_t i = 0; i < collect.files.size(); ++i) {
          const CollectedFile& file = collect.files[i];
          const auto task = [&](const std::string& output, std::int64_t first, std::int64_t last,
                                std::uintmax_t weight) {
            const fs::path target = building.Path() / "media" / platform::PathOf(output);
            fs::create_directories(target.parent_path(), code);
            tasks.push_back({file.source, platform::Utf8Of(target),
                             file.action == FileAction::ToPng ? stillKindName
                                                              : ChoiceOf(job.transcode.kind).name,
                             first, last, weight});
            fileOfTask.push_back(i);
          };
          if (file.action == FileAction::Copy) continue;
          if (file.pieces.empty()) task(file.output, 0, -1, file.bytes);
          for (const MoviePiece& piece : file.pieces)
            task(piece.output, piece.first, piece.last, file.bytes / file.pieces.size());
        }
        std::vector<TranscodeTaskEnd> ends;
        const std::uintmax_t copiedBytes = done;
        std::int64_t plannedFrames = 0;
        for (const CollectedFile& file : collect.files)
          if (file.action == FileAction::Transcode) plannedFrames += FramesToWrite(file);
        const int parallel =
            job.jobs > 0 ? job.jobs
                         : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        const bool ran = RunTranscodeTasks(
            tasks, parallel, stop,
            [&](std::uintmax_t weight, std::int64_t frames, std::int64_t ofFrames) {
              const std::int64_t of = std::max(ofFrames, plannedFrames);
              // TRANSLATORS: {0} files being transcoded, {1} of their {2} frames written.
              transcodeStatus = SayN(
                  tasks.size(), "[Collect] transcoding {0} file: {1} of {2} frames",
                  "[Collect] transcoding {0} files: {1} of {2} frames", tasks.size(), frames, of);
              if (copiedBytes + weight > done)
                advance(copiedBytes + weight - done);
              else
                status();
            },
            ends, error);
        transcodeStatus.clear();
        if (!ran) {
          if (error.empty()) input.progress.StopIfRequested();
          failure = Say("{0}; nothing was left behind",
                        error.empty() ? std::string(Tr("the collect was stopped")) : error);
          return {};
        }
        std::vector<std::int64_t> framesOfFile(collect.files.size(), 0);
        std::vector<std::string> failedOfFile(collect.files.size());
        for (std::size_t t = 0; t < tasks.size(); ++t) {
          framesOfFile[fileOfTask[t]] += ends[t].frames;
          if (!ends[t].completed && failedOfFile[fileOfTask[t]].empty())
            failedOfFile[fileOfTask[t]] = ends[t].message;
        }
        for (std::size_t i = 0; i < collect.files.size(); ++i) {
          CollectedFile& file = collect.files[i];
          if (file.action == FileAction::Copy) continue;
          const std::string from = "media/" + file.relative;
          if (!failedOfFile[i].empty()) {
            for (std::size_t t = 0; t < tasks.size(); ++t)
              if (fileOfTask[t] == i) fs::remove(platform::PathOf(tasks[t].destination), code);
            CopyInstead(file);
            // The media program's reason, as the transcode said it.
            summary.notTranscoded.push_back({from, "{0}", {Utf8PathName(WhyNot(failedOfFile[i]))}});
            if (!copy(file)) return {};
            continue;
          }
          ++summary.files;
          for (std::size_t t = 0; t < tasks.size(); ++t)
            if (fileOfTask[t] == i)
              summary.bytes += fs::file_size(platform::PathOf(tasks[t].destination), code);
          if (file.action == FileAction::ToPng) {
            ++summary.converted;
            summary.done.push_back({from, {}, file.output, framesOfFile[i], 0, {}});
            continue;
          }
          ++summary.transcoded;
          summary.done.push_back({from, ChoiceOf(job.transcode.kind).format, file.output,
                                  framesOfFile[i], file.frames, file.pieces});
        }
        if (stepped < shareSteps) {
          if (!collect.files.empty()) status();
          input.progress.Step(shareSteps - stepped);
        }

        const NewMediaUse collected = [&collect](MediaUse& use, const DecodedName&) {
          return CollectedName(collect, use);
        };
        const std::string project =
            RenameMediaUses(input.projectBytes, input.project, collected, {});
        summary.missing = static_cast<int>(collect.missing.size());
        summary.ambiguous = static_cast<int>(collect.ambiguous.size());
        summary.leftOut = static_cast<int>(collect.leftOut.size());
        summary.report = CollectReportText(job, collect, summary, ReportLanguage::English);
        summary.shown = CollectReportText(job, collect, summary, ReportLanguage::Shown);
        if (!WriteNewFile(building.Path() / platform::PathOf(projectName), project, error) ||
            !WriteNewFile(building.Path() / collectReportName, summary.report, error)) {
          failure = Say("{0}; nothing was left behind", error);
          return {};
        }
        input.progress.StopIfRequested();
        placing.emplace();
        if (!*placing) throw RunStopped();
        placed.Hold(folder, existsEmpty);
        fs::rename(building.Path(), folder, code);
        if (code && existsEmpty) {  // Windows renames over no folder, even an empty one
          fs::remove(folder, code);
          fs::rename(building.Path(), folder, code);
        }
        if (code) {
          placed.Keep();  // it is still what it was
          failure =
              Say("cannot rename the finished folder into place: {0}; nothing was left behind",
                  SystemReason(code));
          return {};
        }
        building.Keep();
        platform::SyncFolderOf(folderText);
        return {};
      },
      observer);
  if (failure) return failed(*failure);
  if (!result.Completed()) return result;

  // The exports are made where the project now lies, so that their absolute paths lead into
  // its media folder; a failed export takes the whole folder with it.
  StopOnlyObserver quiet(observer);
  for (std::size_t i = 0; i < job.formats.size(); ++i) {
    observer.Status(Say("[Collect] writing {0}", summary.exports[i]));
    ExportJob exportJob;
    exportJob.source = platform::Utf8Of(folder / platform::PathOf(projectName));
    exportJob.destination = platform::Utf8Of(folder / platform::PathOf(summary.exports[i]));
    exportJob.format = job.formats[i];
    exportJob.options = job.formatOptions;
    exportJob.software = SoftwareChoice::Named(used);
    exportJob.timecode = job.timecode;
    exportJob.maps = job.maps;
    exportJob.searchFolders = job.searchFolders;
    // The folder moves whole: its documents name its media from where they lie.
    exportJob.relativeMedia = true;
    const RunResult exported = RunExport(exportJob, quiet);
    if (!exported.Completed()) {
      placed.Remove();
      observer.Status("");
      if (exported.status == RunResult::Status::Stopped)
        return {RunResult::Status::Stopped, StoppedMessage(shownSource), std::nullopt};
      return failed(Say("the export {0} failed, so the folder was removed:\n{1}",
                        summary.exports[i], exported.message));
    }
    for (const std::string& warning : exported.warnings)
      result.warnings.push_back(summary.exports[i] + ": " + warning);
    // What the format keeps differently, as the export's own warnings said it before it noted it.
    if (const auto* made = exported.OutcomeAs<ExportOutcome>())
      for (const FormatNote& note : made->notes)
        result.warnings.push_back(summary.exports[i] + ": " + note.sentence + " " +
                                  NoteClipsText(note));
  }
  placed.Keep();
  observer.Status("");
  for (const std::string& warning : resolver.Warnings()) result.warnings.push_back(warning);
  const int uncollected = summary.missing + summary.ambiguous + summary.leftOut;
  const int unread = static_cast<int>(summary.notTranscoded.size());
  const std::string size = ShownByteCount(summary.bytes);
  result.message =
      SayN(summary.files, "Collected {0} media file ({1}) and the project into \"{2}\"",
           "Collected {0} media files ({1}) and the project into \"{2}\"", summary.files, size,
           shownFolder);
  // TRANSLATORS: added to "Collected ... into ..." when some names were not collected.
  if (uncollected > 0)
    result.message += SayN(uncollected, "; {0} name not collected (see {1})",
                           "; {0} names not collected (see {1})", uncollected, collectReportName);
  // TRANSLATORS: added to "Collected ... into ..." when some files were copied untranscoded.
  if (unread > 0)
    result.message +=
        SayN(unread, "; {0} file could not be read to transcode and was copied as it was (see {1})",
             "; {0} files could not be read to transcode and were copied as they were (see {1})",
             unread, collectReportName);
  result.outcome = CheckOutcome{uncollected + unread};
  if (summaryOut != nullptr) *summaryOut = std::move(summary);
  return result;
}

}  // namespace

std::string CollectJobProblem(const CollectJob& job) {
  if (job.transcode.trim && job.transcode.kind == TranscodeKind::Copy)
    return std::string(
        Tr("--trim cuts movies by encoding them again: give --transcode=prores, dnxhr or h264 "
           "with it."));
  if (job.transcode.handles < 0 || job.transcode.handles > 100000)
    return std::string(Tr("--handles takes a number of frames from 0 to 100000."));
  return {};
}

RunResult RunCollect(const CollectJob& job, RunObserver& observer, CollectSummary* summaryOut) {
  // A folder half built is removed by its guard as the exception passes.
  return CatchUnforeseen(job.source, observer, [&] { return Collect(job, observer, summaryOut); });
}

}  // namespace pexol
