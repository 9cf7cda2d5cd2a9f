// core/TextEncoding.h - Shift-JIS (code page 932) names to UTF-8 text and back
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pexol {

/// The UTF-8 text of a name stored in Shift-JIS.
struct DecodedName {
  std::string utf8;
  bool valid = true;  ///< false when some bytes did not decode and became U+FFFD
};

/// UTF-8 text of Shift-JIS (code page 932) bytes. Bytes that do not decode become one U+FFFD
/// per offending sequence, decoding resumes after them, and `valid` is false. Bytes 00-7F are
/// ASCII, as Windows reads them. Throws std::runtime_error only when the system's converter
/// cannot be opened (a broken installation).
DecodedName DecodeShiftJis(std::string_view bytes);

/// Shift-JIS bytes of UTF-8 text; nullopt when the text is not valid UTF-8 or holds a
/// character code page 932 cannot hold (U+00A5 YEN SIGN is refused, never turned into 5C).
/// Use it only for text the user typed: a stored name keeps its bytes, since some pairs
/// decode to characters that encode back to other bytes.
std::optional<std::string> EncodeShiftJis(std::string_view utf8);

/// The first character of valid UTF-8 `text` that Shift-JIS cannot hold, for messages:
/// "X" (U+XXXX); "a character" when there is none.
std::string FirstUnencodable(std::string_view text);

/// UTF-16 of UTF-8 text (what binary containers store); a byte that does not begin a
/// well-formed sequence becomes U+FFFD.
std::u16string Utf16Of(std::string_view utf8);

/// True when every byte of `bytes` belongs to a Shift-JIS character.
bool IsValidShiftJis(std::string_view bytes);

/// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

/// A name or line from a file as a message shows it on a UTF-8 terminal: as it is when it is
/// valid UTF-8 (a Shift-JIS text with any character beyond ASCII almost never is), else
/// decoded from Shift-JIS when valid, else with each byte from 80 up as \xNN; control bytes
/// as \n, \r, \t or \xNN; cut after `maxChars` characters with "...".
std::string Printable(std::string_view bytes, std::size_t maxChars = 60);

/// A file or folder name (one component, its bytes as on disk) as a UTF-8 name any program
/// takes: itself when it is UTF-8; else decoded from Shift-JIS (code page 932), as a folder
/// copied from a Japanese Windows drive with its bytes kept is named. A byte that decodes to
/// nothing (or to a private character, which shows as nothing), and a control byte, becomes
/// "(xNN)": visible, and plain text to Windows and Linux, to URLs and to MLT and FFmpeg, which
/// take '%' for a pattern ('\', '#' and '?' mean something to one or the other as well).
std::string Utf8FileName(std::string_view name);

/// The bytes of a path with each component between '/' as `Utf8FileName` gives it: a folder
/// named in Shift-JIS reads as it did on Windows, whatever the folders around it are named in.
std::string Utf8PathName(std::string_view path);

/// A path as a message shows a name no UTF-8 reader takes: each component that is not UTF-8
/// with its bytes from 80 up as \xNN, so that it does not pass for a valid name; control bytes
/// as \xNN.
std::string EscapedPath(std::string_view path);

/// A message as a UTF-8 terminal or window shows it, line by line: a line that is valid UTF-8
/// stays as it is; in any other each piece between '/' that is not UTF-8 is decoded from
/// Shift-JIS (undecodable bytes as U+FFFD); control
/// bytes but the tab (a NUL, ESC, a lone CR) as \xNN. Messages quote names as stored (a
/// check's list of missing files, say) beside UTF-8 paths.
std::string DisplayText(std::string_view message);

}  // namespace pexol
