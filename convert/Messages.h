// convert/Messages.h - the texts every front end shows for a run
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/Options.h"
#include "core/RunFailure.h"

namespace pexol {

inline constexpr std::string_view messageCaption = "pexol";
inline constexpr std::string_view cannotOpenProjectSource = "Can not open mpj source file";
inline constexpr std::string_view cannotOpenTextSource = "Can not open txt source file";
inline constexpr std::string_view cannotOpenTextDestination = "Can not open txt destination file";
inline constexpr std::string_view cannotOpenProjectDestination =
    "Can not open mpj destination file";

/// A name or text that the chosen text encoding cannot carry. The project reads well, so no
/// other software choice is suggested.
class EncodingFailure : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

/// The detail of a failure on a source project that is a text exchange file: the files were
/// given in the wrong order.
inline constexpr std::string_view textGivenAsProject =
    "it starts with \"[Header]\", so it is a text exchange file, not a project. Give the "
    "project (.mpj) first and the text second: to-project PROJECT.mpj TEXT.txt NEW.mpj.";

/// True when `project` starts as a text exchange file does: "[Header]" (any case), perhaps
/// behind a UTF-8 byte-order mark. A run that fails to read such a project says so.
bool LooksLikeText(std::span<const std::uint8_t> project);

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

/// A note for a completion message when bytes followed the option block; names the other
/// software choice when it reads the project exactly.
std::string UnreadBytesNote(std::size_t unreadBytes, Software used, bool otherFitsExactly);

/// The message of a failed run: `path` is the file the failure is about.
std::string FailureMessage(const RunFailure& failure, std::string_view path, Software used,
                           bool otherReadsIt);

}  // namespace pexol
