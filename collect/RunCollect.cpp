// collect/RunCollect.cpp - the collect's body: plan, copy into a temporary folder, rename, export
#include "collect/RunCollect.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "check/CheckOutcome.h"
#include "collect/CollectPlan.h"
#include "collect/CollectReading.h"
#include "collect/CollectReport.h"
#include "collect/CopyVerified.h"
#include "core/FileReplace.h"
#include "core/PlatformPath.h"
#include "core/TemporaryFiles.h"
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

/// The folder being built: removed with everything in it unless it was renamed into place.
class FolderUnderConstruction {
 public:
  explicit FolderUnderConstruction(fs::path path) : path_(std::move(path)) {}
  ~FolderUnderConstruction() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  FolderUnderConstruction(const FolderUnderConstruction&) = delete;
  FolderUnderConstruction& operator=(const FolderUnderConstruction&) = delete;
  const fs::path& Path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  fs::path path_;
};

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

bool WriteNewFile(const fs::path& path, std::string_view bytes, std::string& error) {
  int createError = 0;
  platform::UniqueFile file = platform::CreateReplacement(platform::Utf8Of(path), {}, createError);
  if (!file) {
    error =
        "cannot create " + Quoted(platform::Utf8Of(path)) + ": " + platform::ErrorText(createError);
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0 || !platform::SyncFile(file.get()) ||
      std::fclose(file.release()) != 0) {
    error = "cannot write " + Quoted(platform::Utf8Of(path)) + ": " + platform::ErrorText(errno);
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
      return "the folder " + Quoted(platform::Utf8Of(parent)) +
             " that should hold it does not exist; create it first";
    return {};
  }
  if (!fs::is_directory(status)) return "it exists and is not a folder; choose a new folder";
  if (!fs::is_empty(folder, code) || code)
    return "the folder exists and is not empty; a collect writes only into a new or empty "
           "folder, so that nothing is overwritten";
  existsEmpty = true;
  return {};
}

// The export's file name for `format` beside the project: its stem and the format's extension.
std::string ExportName(const std::string& stem, const std::string& format) {
  const ExportFormat* row = ExportFormatNamed(format);
  return row ? stem + row->extensions.front() : stem;
}

RunResult Collect(const CollectJob& job, RunObserver& observer, CollectSummary* summaryOut) {
  std::string folderText = job.folder;
  while (folderText.size() > 1 && (folderText.back() == '/' || folderText.back() == '\\'))
    folderText.pop_back();
  const fs::path folder = platform::PathOf(folderText);
  const auto failed = [&job, &folderText](const std::string& detail) {
    return RunResult::Failed("Can not collect " + Quoted(job.source) + " into " +
                             Quoted(folderText) + "\n\n" + detail + ".");
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

  const fs::path sourcePath = platform::PathOf(job.source);
  const std::string projectName = platform::Utf8Of(sourcePath.filename());
  const std::string stem = platform::Utf8Of(sourcePath.stem());
  CollectSummary summary;
  for (const std::string& format : job.formats) summary.exports.push_back(ExportName(stem, format));
  std::optional<std::string> failure;
  Software used = job.software.named;

  // Read as a render is: the sections take a few steps and the body (the copying) the rest.
  RunPlan plan = RunPlan::Writing(collectReading, job.source, job.software, {}, {}, {});
  plan.mayWriteNothing = true;  // the body builds its folder itself
  RunResult result = RunOnProject(
      plan,
      [&](const RunInput& input) -> RunOutput {
        used = input.project.software;
        input.progress.Status("[Collect] finding the media");
        const CollectPlan collect = PlanCollect(input.project, resolver);
        std::error_code code;
        const fs::path parent = folder.parent_path().empty() ? fs::path(".") : folder.parent_path();
        const fs::space_info space = fs::space(parent, code);
        const std::uintmax_t needed =
            (job.link ? 0 : collect.totalBytes) + input.projectBytes.size() + spareBytes;
        if (!code && space.available < needed) {
          failure = "there is not room enough in " + Quoted(platform::Utf8Of(parent)) + ": " +
                    ByteCount(needed) + " are needed, " + ByteCount(space.available) +
                    " are free; nothing was written";
          return {};
        }
        FolderUnderConstruction building(platform::PathOf(TemporaryPathFor(folderText)));
        if (!fs::create_directory(building.Path(), code) ||
            !fs::create_directory(building.Path() / "media", code)) {
          failure = "cannot create a folder beside it: " + code.message();
          return {};
        }

        const int shareSteps = RunProgress::totalSteps - input.progress.Done();
        std::uintmax_t done = 0;
        int stepped = 0;
        const auto status = [&] {
          const std::size_t file = std::min<std::size_t>(summary.files + 1, collect.files.size());
          input.progress.Status("[Collect] " + std::to_string(file) + " / " +
                                std::to_string(collect.files.size()) + " files, " +
                                ByteCount(done) + " of " + ByteCount(collect.totalBytes));
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
        for (const CollectedFile& file : collect.files) {
          status();
          const fs::path target = building.Path() / "media" / platform::PathOf(file.relative);
          fs::create_directories(target.parent_path(), code);
          const std::string targetText = platform::Utf8Of(target);
          const int registration = RegisterTemporary(targetText);
          const auto copied =
              CopyVerified(file.source, targetText, job.link, file.bytes, advance, stop, error);
          ForgetTemporary(registration);
          if (!copied) {
            failure = error + "; nothing was left behind";
            return {};
          }
          ++summary.files;
          summary.bytes += copied->bytes;
          if (copied->linked) ++summary.linked;
        }
        if (stepped < shareSteps) {
          if (!collect.files.empty()) status();
          input.progress.Step(shareSteps - stepped);
        }

        const NewMediaName collected = [&collect](std::string_view stored, const DecodedName&,
                                                  SectionId) -> std::optional<std::string> {
          const auto at = collect.newNames.find(std::string(stored));
          if (at == collect.newNames.end()) return std::nullopt;
          return at->second;
        };
        const std::string project =
            RenameMediaNames(input.projectBytes, input.project, collected, {});
        summary.missing = static_cast<int>(collect.missing.size());
        summary.ambiguous = static_cast<int>(collect.ambiguous.size());
        summary.leftOut = static_cast<int>(collect.leftOut.size());
        summary.report = CollectReportText(job, collect, summary);
        if (!WriteNewFile(building.Path() / platform::PathOf(projectName), project, error) ||
            !WriteNewFile(building.Path() / collectReportName, summary.report, error)) {
          failure = error + "; nothing was left behind";
          return {};
        }
        input.progress.StopIfRequested();
        fs::rename(building.Path(), folder, code);
        if (code && existsEmpty) {  // Windows renames over no folder, even an empty one
          fs::remove(folder, code);
          fs::rename(building.Path(), folder, code);
        }
        if (code) {
          failure = "cannot rename the finished folder into place: " + code.message() +
                    "; nothing was left behind";
          return {};
        }
        building.Release();
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
    observer.Status("[Collect] writing " + summary.exports[i]);
    ExportJob exportJob;
    exportJob.source = platform::Utf8Of(folder / platform::PathOf(projectName));
    exportJob.destination = platform::Utf8Of(folder / platform::PathOf(summary.exports[i]));
    exportJob.format = job.formats[i];
    exportJob.software = SoftwareChoice::Named(used);
    exportJob.timecode = job.timecode;
    exportJob.maps = job.maps;
    exportJob.searchFolders = job.searchFolders;
    // The folder moves whole: its documents name its media from where they lie.
    exportJob.relativeMedia = true;
    const RunResult exported = RunExport(exportJob, quiet);
    if (!exported.Completed()) {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
      if (existsEmpty) fs::create_directory(folder, ignored);
      observer.Status("");
      if (exported.status == RunResult::Status::Stopped)
        return {RunResult::Status::Stopped, StoppedMessage(job.source), std::nullopt};
      return failed("the export " + summary.exports[i] + " failed, so the folder was removed:\n" +
                    exported.message);
    }
    for (const std::string& warning : exported.warnings)
      result.warnings.push_back(summary.exports[i] + ": " + warning);
  }
  observer.Status("");
  for (const std::string& warning : resolver.Warnings()) result.warnings.push_back(warning);
  const int uncollected = summary.missing + summary.ambiguous + summary.leftOut;
  result.message =
      "Collected " + std::to_string(summary.files) + " media file" +
      (summary.files == 1 ? "" : "s") + " (" + ByteCount(summary.bytes) +
      ") and the project into " + Quoted(folderText) +
      (uncollected == 0 ? std::string()
                        : "; " + std::to_string(uncollected) + " name(s) not collected (see " +
                              collectReportName + ")");
  result.outcome = CheckOutcome{uncollected};
  if (summaryOut != nullptr) *summaryOut = std::move(summary);
  return result;
}

}  // namespace

RunResult RunCollect(const CollectJob& job, RunObserver& observer, CollectSummary* summaryOut) {
  // A folder half built is removed by its guard as the exception passes.
  return CatchUnforeseen(job.source, observer, [&] { return Collect(job, observer, summaryOut); });
}

}  // namespace pexol
