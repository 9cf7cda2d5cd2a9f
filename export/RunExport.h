// export/RunExport.h - the export of a project's timeline to a file other editors open
#pragma once

#include <string>
#include <vector>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "export/ExportOutcome.h"
#include "export/ExportWritten.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct ExportJob {
  std::string source;       ///< project file
  std::string destination;  ///< with a format's extension (see `ExportFormats`)
  std::string format;       ///< a format's name; empty: the destination's extension says
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  TimecodeMode timecode = TimecodeMode::NtscDrop;  ///< NtscDrop, NtscNonDrop or Pal
  /// Values of the options formats' rows declare (`ExportFormat::options`), by name; the
  /// format's own are checked and written, the others' left alone.
  FormatOptions options = {};
  std::vector<std::string> maps = {};           ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};  ///< trees searched by file name, recursively
  /// Media under the destination's folder named relative to it, where the format's readers
  /// take such names (`ExportFormat::mediaRelative`): a collected folder then moves whole.
  bool relativeMedia = false;
  /// Reads each movie and sound file found (one run of the media program) for its whole length,
  /// which formats with a place for it write, and to warn of clips that need more frames than
  /// their file holds.
  bool readMediaLengths = true;
};

/// Reads the project, lays its timeline out for the format and writes it; the destination (and
/// the files beside it that the format writes, their suffix before the extension) is replaced
/// only when everything is ready. The message says what was written ("3 tracks, 812 clips,
/// 41 transitions"); the warnings name media that were not found and names that are not
/// valid Shift-JIS.
RunResult RunExport(const ExportJob& job, RunObserver& observer);

}  // namespace pexol
