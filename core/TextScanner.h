// core/TextScanner.h - cuts the text exchange file into lines, fields and numbers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pexol {

/// Reads the text exchange file line by line. Lines end with CR and one more byte
/// (the LF); a bare LF is an ordinary character. Empty lines are skipped.
class TextReader {
 public:
  /// `isHeading` tells section headings from record lines.
  explicit TextReader(std::string_view text, bool (*isHeading)(std::string_view) = nullptr)
      : text_(text), isHeading_(isHeading) {}

  /// The next non-empty line without its line end; nullopt at the end of the text.
  /// A last line without CR LF is returned as it stands.
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
  int nextLineNumber_ = 1;
  int lineNumber_ = 0;
};

/// Optional '-', then decimal digits up to the first non-digit; 0 when there are none.
/// Wraps at 32 bits.
std::int32_t ParseNumber(std::string_view text);

/// `text` without its first `count` characters (empty when it is shorter).
inline std::string_view After(std::string_view text, std::size_t count) {
  return count < text.size() ? text.substr(count) : std::string_view{};
}

/// Field `index` (0-based, comma-separated) of `line`, unquoted and unescaped; empty when
/// the line has no such field. A field that starts with a double quote runs to the next
/// unescaped double quote; inside it a backslash escapes the next character ("\n" LF,
/// "\r" CR, anything else itself).
std::string GetField(std::string_view line, int index);

/// The fields of one line front to back, each as `GetField` gives it, so that a line of any
/// number of fields is read in one pass.
class FieldReader {
 public:
  /// Starts at field `first` (0-based).
  explicit FieldReader(std::string_view line, int first = 0);
  /// The next field; empty once the line has no more.
  std::string Next();
  /// The next field as "key" and a number: the key's length is skipped, then `ParseNumber`.
  std::int32_t Number(std::string_view key) { return ParseNumber(After(Next(), key.size())); }
  /// True once every field has been read.
  bool AtEnd() const { return position_ >= line_.size(); }

 private:
  std::string_view line_;
  std::size_t position_ = 0;
};

/// True when `a` and `b` are equal without regard to ASCII case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// The escapes of a quoted field: LF as \n, CR as \r, '"' and '\' behind a backslash.
std::string EscapeQuoted(std::string_view text);

/// `text` as it must stand in a line so that GetField gives it back: unchanged unless it
/// holds a comma, CR or LF or starts with a double quote; then quoted and escaped.
std::string FieldText(std::string_view text);

}  // namespace pexol
