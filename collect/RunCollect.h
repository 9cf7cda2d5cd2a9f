// collect/RunCollect.h - a project and its media gathered in one folder that can be moved whole
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/TranscodePlan.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "export/RunExport.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct CollectJob {
  std::string source;  ///< project file
  std::string folder;  ///< the folder to make; must be new or empty
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  std::vector<std::string> maps = {};           ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};  ///< trees searched by file name, recursively
  std::vector<std::string> formats = {};        ///< names of the exports written beside the project
  FormatOptions formatOptions = {};             ///< the exports' options, as `ExportJob::options`
  TimecodeMode timecode = TimecodeMode::NtscDrop;  ///< the exports' rate
  bool link = false;               ///< hard links where the file system allows, copies elsewhere
  TranscodeChoice transcode = {};  ///< movies and stills encoded again for today's editors
  int jobs = 0;                    ///< files transcoded at once; 0: one per core
};

/// Why `job` cannot run as asked (a trim without a transcode, handles out of range); empty
/// when it can.
std::string CollectJobProblem(const CollectJob& job);

/// A movie transcoded or a still converted by the collect: what it became.
struct TranscodedFile {
  std::string from;                ///< "media/..." as the copy would have been named
  std::string format;              ///< empty for a still converted to PNG
  std::string output;              ///< below media/, when it was written whole
  std::int64_t frames = 0;         ///< written
  std::int64_t ofFrames = 0;       ///< the file's own, when known and trimmed
  std::vector<MoviePiece> pieces;  ///< the trimmed pieces, when trimmed
};

/// What a collect did, as its report says it.
struct CollectSummary {
  int files = 0;  ///< media files copied or linked
  int linked = 0;
  std::uintmax_t bytes = 0;
  int missing = 0;                   ///< names not found
  int ambiguous = 0;                 ///< names found in several places
  int leftOut = 0;                   ///< names found but not brought along
  int transcoded = 0;                ///< movies encoded again (a trimmed one once)
  int converted = 0;                 ///< stills written as PNG
  std::vector<TranscodedFile> done;  ///< per file transcoded or converted: what became of it
  std::vector<UncollectedName> notTranscoded;  ///< could not be read: copied as they were
  std::vector<std::string> exports;            ///< the files written beside the project
  std::string report;  ///< the report's text (UTF-8, English), also in the folder
  std::string shown;   ///< the same in the chosen language, for a person
};

/// The name of the report in the collected folder.
inline constexpr const char* collectReportName = "collect-report.txt";

/// Resolves the project's media as the check does, copies each file found once into
/// FOLDER/media/ (keeping the folders below their common folder) and checks every copy
/// against its source (size and SHA-256); writes the project with those names rewritten to
/// "media\..." (relative to the project, in Shift-JIS), the report, and then each export
/// beside the project. With a transcode, movies and stills are written as `PlanTranscodes`
/// says, by the media program, several at once; a file it cannot read is copied as it was and
/// counted with the names not collected. The folder is built under a temporary name beside FOLDER,
/// after a check of the free space, and renamed into place at the end; a failure, a full disk or a
/// stop leaves neither it nor FOLDER. The outcome counts the names not collected as missing.
RunResult RunCollect(const CollectJob& job, RunObserver& observer,
                     CollectSummary* summary = nullptr);

}  // namespace pexol
