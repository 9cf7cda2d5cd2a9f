// check/MediaCheck.h - finds the media files a project names that are not on disk
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/CheckOutcome.h"
#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "media/MediaResolver.h"
#include "model/Project.h"
#include "probe/MediaFacts.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct MediaCheckJob {
  std::string source;          ///< project file
  std::string report = "nul";  ///< report file; "nul" (any case) is the null device
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  std::vector<std::string> maps = {};           ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};  ///< trees searched by file name, recursively
  TextEncoding reportEncoding = TextEncoding::ShiftJis;  ///< of the names in the report
  /// Told of every media reference as it is resolved, in file order.
  std::function<void(std::string_view stored, const MediaResolution& found)> onReference = {};
  /// Reads what each file found is, after the walk, in one run of the media program (none when
  /// nothing was found): each file's facts go to `onProbed`, once, in the order first found
  /// (none when there is no media program, as on Windows), and
  /// clips that need more frames than their file holds become warnings.
  bool probe = false;
  std::function<void(const std::string& path, const MediaFacts& facts)> onProbed = {};
};

/// What a walk found missing.
struct MediaCheckSummary {
  int missingCount = 0;     ///< every failed test, the same name twice counts twice
  std::string missingList;  ///< section lines and the first 19 names, "\n"-ended, then "e.t.c.."
};

/// Tells whether a name is present; the run uses the file system.
using MediaExists = std::function<bool(std::string_view name)>;

/// How the report gives the missing names: in Shift-JIS as stored, or decoded to UTF-8; and
/// what follows a name on its line (called right after `exists` said it is missing).
struct MediaReportStyle {
  TextEncoding encoding = TextEncoding::ShiftJis;
  std::function<std::string()> note = {};
};

/// Walks `project`, tests every media name with `exists`, writes the report lines to
/// `report` and makes exactly 200 progress steps. Throws `RunFailure` when the project
/// ends too early.
MediaCheckSummary ScanProjectMedia(std::span<const std::uint8_t> project, Software software,
                                   const MediaExists& exists, ByteWriter& report,
                                   RunObserver& observer);

/// The same over a project already read.
MediaCheckSummary ScanProjectMedia(const Project& project, const MediaExists& exists,
                                   ByteWriter& report, const MediaReportStyle& style = {});

/// The file system's answer for a name taken as stored, relative to the current folder:
/// true for a file (a link is followed); false for a folder, when nothing is there or when
/// the name cannot be looked up. Never throws.
bool MediaFileExists(std::string_view name);

/// The whole check on named files; the result's message is the completion message
/// ("complete ... file(s) undetected") and its outcome the missing count with every reference
/// and file counted (`CheckOutcome`). Names are resolved as
/// `MediaResolver` does, relative names from the project's folder; a name found in several
/// places of the search folders counts as missing. The report is replaced only when the walk
/// succeeds.
RunResult RunMediaCheck(const MediaCheckJob& job, RunObserver& observer);

}  // namespace pexol
