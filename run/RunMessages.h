// run/RunMessages.h - the texts every front end shows for a run
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "core/RunFailure.h"
#include "run/RunResult.h"

namespace pexol {

inline constexpr std::string_view messageCaption = "pexol";
inline constexpr std::string_view cannotOpenProjectSource = "Can not open mpj source file";
inline constexpr std::string_view cannotOpenTextSource = "Can not open txt source file";
inline constexpr std::string_view cannotOpenTextDestination = "Can not open txt destination file";
inline constexpr std::string_view cannotOpenProjectDestination =
    "Can not open mpj destination file";

inline constexpr std::string_view emptyDestinationName =
    "the file name is empty: name the file to write.";

/// An open failure: the fixed first line, then the file and the system's reason.
std::string OpenFailureMessage(std::string_view headline, std::string_view path,
                               std::string_view reason);
/// A write failure of a destination (disk full and the like).
std::string WriteFailureMessage(std::string_view path, std::string_view reason);

/// "conversion completed" with the source and destination of a to-text run.
std::string ToTextCompletedMessage(std::string_view source, std::string_view destination);
/// "conversion completed" with the three files of a to-project run.
std::string ToProjectCompletedMessage(std::string_view source, std::string_view text,
                                      std::string_view destination);

/// "complete", the project name and the count, then `missingList` unless nothing is missing.
std::string MediaCheckMessage(std::string_view source, int missingCount,
                              std::string_view missingList);

inline constexpr std::string_view cannotExport = "Can not export the timeline";
/// "export completed", the files written (`sideFiles` beside the destination) and the counts.
std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts);

/// "relink completed" with the files and the count; on a dry run what would change.
std::string RelinkCompletedMessage(std::string_view source, std::string_view destination,
                                   int changes);
std::string RelinkTriedMessage(std::string_view source, int changes);

inline constexpr std::string_view cannotRender = "Can not render the timeline";
/// "render completed", the file written, its length as `length` (a timecode) and in frames,
/// and the time taken.
std::string RenderCompletedMessage(std::string_view source, std::string_view destination,
                                   std::string_view length, const RenderOutcome& outcome);
/// "render stopped": the partial file was removed, the destination left as it was.
std::string RenderStoppedMessage(std::string_view source, std::string_view destination);

/// A run the user stopped: nothing was written.
std::string StoppedMessage(std::string_view source);

/// A note for a completion message when bytes followed the option block; names the other
/// software choice when it reads the project exactly.
std::string UnreadBytesNote(std::size_t unreadBytes, Software used, bool otherFitsExactly);

/// A source that is not a project of these applications; `kind` says what it looks like.
std::string NotAProjectMessage(std::string_view path, std::string_view kind);

/// The message of a failed run: `path` is the file the failure is about.
std::string FailureMessage(const RunFailure& failure, std::string_view path, Software used,
                           bool otherReadsIt);

}  // namespace pexol
