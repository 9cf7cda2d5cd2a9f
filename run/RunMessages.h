// run/RunMessages.h - the texts of every run: open, read and write failures, stops, notes
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/FileKind.h"
#include "core/Options.h"
#include "core/RunFailure.h"
#include "core/Translation.h"

namespace pexol {

inline constexpr std::string_view messageCaption = "pexol";
// The headlines are translated where a message is made (OpenFailureMessage).
inline constexpr std::string_view cannotOpenProjectSource =
    ToTranslate("Can not open mpj source file");
inline constexpr std::string_view cannotOpenTextSource =
    ToTranslate("Can not open txt source file");
inline constexpr std::string_view cannotOpenTextDestination =
    ToTranslate("Can not open txt destination file");
inline constexpr std::string_view cannotOpenProjectDestination =
    ToTranslate("Can not open mpj destination file");

inline constexpr std::string_view emptyDestinationName =
    ToTranslate("the file name is empty: name the file to write.");

/// An open failure: the fixed first line (a marked text, translated here), then the file and
/// the system's reason.
std::string OpenFailureMessage(std::string_view headline, std::string_view path,
                               std::string_view reason);
/// A write failure of a destination (disk full and the like).
std::string WriteFailureMessage(std::string_view path, std::string_view reason);

/// A run the user stopped: nothing was written.
std::string StoppedMessage(std::string_view source);

/// A note for a completion message when bytes followed the option block; names the other
/// software choice when it reads the project exactly. Empty when `unreadBytes` is 0 (a
/// warning named them) and the other choice does not fit.
std::string UnreadBytesNote(std::size_t unreadBytes, Software used, bool otherFitsExactly);

/// The warning of a run that left most of the file unread after the project: how many bytes
/// and what they look like.
std::string MostlyUnreadWarning(std::size_t unreadBytes, std::size_t fileBytes,
                                const BytesLook& look);

/// A source that is not a project of these applications; `kind` says what it looks like.
std::string NotAProjectMessage(std::string_view path, std::string_view kind);

/// A run that failed in a way it did not foresee (a writer or a library giving up): `path` is
/// the file the failure is about, and nothing was written.
std::string UnexpectedFailureMessage(std::string_view path, std::string_view detail);

/// A run that ran out of memory: nothing was written.
std::string NotEnoughMemoryMessage(std::string_view path);

/// The message of a failed run: `path` is the file the failure is about.
std::string FailureMessage(const RunFailure& failure, std::string_view path, Software used,
                           bool otherReadsIt);

}  // namespace pexol
