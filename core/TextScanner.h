// core/TextScanner.h - cuts the text exchange file into lines, fields and numbers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/RunFailure.h"

namespace pexol {

/// Reads the text exchange file line by line. A line ends with CR LF, LF alone or CR alone
/// (texts saved on Linux end with LF): names and texts holding CR or LF are always written
/// quoted with escapes, so a raw one can only be a line end. Empty lines are skipped.
class TextReader {
 public:
  /// `isHeading` tells section headings from record lines.
  explicit TextReader(std::string_view text, bool (*isHeading)(std::string_view) = nullptr)
      : text_(text), isHeading_(isHeading) {}

  /// The next non-empty line without its line end; nullopt at the end of the text.
  /// A last line without a line end is returned as it stands.
  std::optional<std::string_view> ReadTextLine();

  /// 1-based number of the line last returned (or of the last line, at the end).
  int LineNumber() const { return lineNumber_; }

  /// Reads the next line and fails unless it is `heading` (compared without regard to case).
  void ReadHeading(std::string_view heading);
  /// Reads line `index` (0-based) of `count` of `section`; fails at the end of the text
  /// or when the line is a section heading.
  std::string_view ReadRecordLine(std::string_view section, int index, int count);
  /// Skips every line up to and including the first `heading` (any case).
  void SkipPast(std::string_view heading);

 private:
  [[noreturn]] void FailAtEnd(std::string_view wanted) const;

  std::string_view text_;
  bool (*isHeading_)(std::string_view);
  std::size_t offset_ = 0;
  std::size_t nextLf_ = 0;  ///< where the next LF is (or the end), once searched
  bool lfSearched_ = false;
  int nextLineNumber_ = 1;
  int lineNumber_ = 0;
};

/// The number `text` starts with: optional '-', then at least one decimal digit (leading
/// zeros allowed); what follows the digits, such as a unit or a closing bracket, is not read.
/// nullopt when there is no digit or the value lies outside [lowest, highest].
std::optional<std::int64_t> LeadingNumber(std::string_view text, std::int64_t lowest,
                                          std::int64_t highest);

/// What follows the number `text` starts with (its optional '-' and its digits).
std::string_view AfterNumber(std::string_view text);

/// `text` without its first `count` characters (empty when it is shorter).
inline std::string_view After(std::string_view text, std::size_t count) {
  return count < text.size() ? text.substr(count) : std::string_view{};
}

/// Field `index` (0-based, comma-separated) of `line`, unquoted and unescaped; empty when
/// the line has no such field. A field that starts with a double quote runs to the next
/// unescaped double quote; inside it a backslash escapes the next character ("\n" LF,
/// "\r" CR, anything else itself).
std::string GetField(std::string_view line, int index);

/// A field that does not read as its line's layout says. The conversion puts the line number
/// in front.
class FieldError : public RunFailure {
 public:
  explicit FieldError(const std::string& detail) : RunFailure(FailedInput::Text, detail) {}
};

/// The fields of one line front to back, each as `GetField` gives it, so that a line of any
/// number of fields is read in one pass. `Next` reads as GetField does; the checked reads
/// (`Text`, `Key`, `Number`, `Level`, `End`) throw `FieldError` naming the field, what belongs
/// there and the line's layout.
class FieldReader {
 public:
  /// Starts at field `first` (0-based).
  explicit FieldReader(std::string_view line, int first = 0);
  /// The next field; empty once the line has no more.
  std::string Next();
  /// True once every field has been read.
  bool AtEnd() const { return position_ >= line_.size(); }

  /// How the line should read, e.g. "NAME,in=N,out=N,...", for the messages: a clause in the
  /// chosen language.
  void SetLayout(std::string layout) { layout_ = std::move(layout); }
  /// The next field, which must exist; a quoted one must close before the next comma.
  /// `what` names it in a message ("the name"; a marked text is translated).
  std::string Text(std::string_view what);
  /// The next field, which must start with `key` (any case); what follows the key.
  std::string Key(std::string_view key);
  /// `key` and a number that fits 32 bits (-2147483648 to 4294967295, kept as its bits),
  /// followed by nothing or by `unit` (any case): a letter typed into a number is refused,
  /// not cut off.
  std::int32_t Number(std::string_view key, std::string_view unit = {});
  /// `key` and a level that fits 16 bits (-32768 to 65535, kept as its bits), followed by
  /// nothing or by `unit`.
  std::uint16_t Level(std::string_view key, std::string_view unit = {});
  /// Fails when fields are left: the layout has no more.
  void End();
  /// Fails naming the field last read (1-based) and its text, with the layout: `problem` is
  /// a clause in the chosen language, said after "field N is "TEXT": ".
  [[noreturn]] void Fail(std::string_view problem) const;
  /// Fails with `pattern`, a whole sentence marked for translation (ToTranslate), in which
  /// {0} is the number of the field last read, {1} its text and {2} `piece`; the layout after.
  [[noreturn]] void FailSaying(std::string_view pattern, std::string_view piece = {}) const;
  /// The text of the field last read, as it stands in the line.
  std::string_view LastField() const { return last_; }

 private:
  std::int64_t Checked(std::string_view key, std::int64_t lowest, std::int64_t highest,
                       std::string_view range, std::string_view unit);
  /// `detail` with the layout after it, as a whole sentence.
  std::string WithLayout(const std::string& detail) const;

  std::string_view line_;
  std::size_t position_ = 0;
  int index_ = 0;  ///< fields read so far, counting the skipped ones
  std::string_view last_;
  std::string layout_;
};

/// True when `a` and `b` are equal without regard to ASCII case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// The escapes of a quoted field: LF as \n, CR as \r, '"' and '\' behind a backslash.
std::string EscapeQuoted(std::string_view text);

/// `text` as it must stand in a line so that GetField gives it back: unchanged unless it
/// holds a comma, CR or LF or starts with a double quote; then quoted and escaped.
std::string FieldText(std::string_view text);

}  // namespace pexol
