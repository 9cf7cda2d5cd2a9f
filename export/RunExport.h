// export/RunExport.h - the export of a project's timeline to a file other editors open
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// The formats an export writes; `FromExtension` follows the destination's name.
enum class ExportFormat { FromExtension, Otio, Cmx3600, Mlt, Kdenlive, Fcp7 };

/// A format as the command line names it, the extension that chooses it and what people call
/// it (the window's list and file filters use the same).
struct ExportFormatName {
  ExportFormat format;
  const char* name;       ///< "otio", "cmx3600", "mlt", "kdenlive", "fcp7"
  const char* extension;  ///< with its dot
  const char* label;      ///< "OpenTimelineIO", "Final Cut Pro 7 XML (Premiere Pro)", ...
};

/// Every format an export writes, in the order lists show them.
std::span<const ExportFormatName> ExportFormatNames();

struct ExportJob {
  std::string source;       ///< project file
  std::string destination;  ///< .otio, .edl, .mlt, .kdenlive or .xml
  ExportFormat format = ExportFormat::FromExtension;
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  TimecodeMode timecode = TimecodeMode::NtscDrop;  ///< NtscDrop, NtscNonDrop or Pal
  std::vector<std::string> maps = {};              ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};     ///< trees searched by file name, recursively
};

/// Reads the project, builds its timeline and writes it; the destination (and, for CMX 3600,
/// the files beside it: "-insert", "-exaudio1", "-exaudio2" before the extension) is replaced
/// only when everything is ready. The message says what was written ("3 tracks, 812 clips,
/// 41 transitions"); the warnings name media that were not found and names that are not
/// valid Shift-JIS.
RunResult RunExport(const ExportJob& job, RunObserver& observer);

}  // namespace pexol
