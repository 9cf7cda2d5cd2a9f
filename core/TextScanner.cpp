// core/TextScanner.cpp - lines, fields and numbers of the text exchange file
#include "core/TextScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// What to do about a backslash in a quoted field; Shift-JIS has it as the second byte of
// some characters.
constexpr std::string_view backslashHint = ToTranslate(
    "Write \\\\ for a backslash, double the second byte of characters such as \xE8\xA1\xA8, "
    "\xE3\x82\xBD and \xE4\xBA\x88 (as pexol writes them), or edit the text in UTF-8 "
    "(--encoding utf-8), where characters are whole");

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Moves p past a quoted field that starts at p (at its opening quote). A backslash
// escapes the character after it, so an escaped quote does not close the field.
std::size_t SkipQuoted(std::string_view line, std::size_t p) {
  ++p;
  while (p < line.size() && line[p] != '"') p += (line[p] == '\\') ? 2 : 1;
  return p + 1;  // past the closing quote (or beyond the end)
}

// Where the field after the one that starts at p begins; at or past the end when there is
// none. A quoted field is taken to end at its closing quote, the separator right behind it.
std::size_t NextFieldStart(std::string_view line, std::size_t p) {
  if (p >= line.size()) return p;
  if (line[p] == '"') {
    p = SkipQuoted(line, p);
  } else {
    const std::size_t comma = line.find(',', p);
    p = comma == std::string_view::npos ? line.size() : comma;
  }
  return p + 1;  // the separator
}

// The field that starts at p, unquoted and unescaped.
std::string FieldAt(std::string_view line, std::size_t p) {
  const std::size_t n = line.size();
  if (p >= n) return {};
  std::string field;
  if (line[p] == '"') {
    for (++p; p < n && line[p] != '"' && line[p] != '\r'; ++p) {
      char c = line[p];
      if (c == '\\' && p + 1 < n) {
        c = line[++p];
        if (c == 'n') c = '\n';
        if (c == 'r') c = '\r';
      }
      field.push_back(c);
    }
    return field;
  }
  const std::size_t end = line.find_first_of(",\r", p);
  return std::string(line.substr(p, end == std::string_view::npos ? n - p : end - p));
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

std::optional<std::string_view> TextReader::ReadTextLine() {
  const char* data = text_.data();
  const std::size_t size = text_.size();
  while (offset_ < size) {
    const std::size_t start = offset_;
    // The next LF is remembered, so that a text of CR line ends is not searched to its end
    // for every line.
    if (!lfSearched_ || nextLf_ < start) {
      lfSearched_ = true;
      const void* lf = std::memchr(data + start, '\n', size - start);
      nextLf_ = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
    }
    const void* cr = std::memchr(data + start, '\r', nextLf_ - start);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : nextLf_;
    const bool crLf = end + 1 < size && data[end] == '\r' && data[end + 1] == '\n';
    offset_ = std::min(end + (crLf ? 2 : 1), size);
    lineNumber_ = nextLineNumber_++;
    if (end > start) return text_.substr(start, end - start);
  }
  return std::nullopt;
}

void TextReader::FailAtEnd(std::string_view wanted) const {
  // TRANSLATORS: {1} is what was expected, as "the heading "[MainAV]"" or "line 2 of 3 of
  // [MainAV]".
  throw RunFailure(FailedInput::Text, Say("the text ends after line {0}, where {1} was expected.",
                                          lineNumber_, wanted));
}

void TextReader::ReadHeading(std::string_view heading) {
  const auto line = ReadTextLine();
  if (!line) FailAtEnd(Say("the heading \"{0}\"", heading));
  if (!EqualsIgnoreCase(*line, heading))
    throw RunFailure(FailedInput::Text,
                     Say("line {0}: expected the heading \"{1}\" but found \"{2}\".", lineNumber_,
                         heading, Printable(*line)));
}

std::string_view TextReader::ReadRecordLine(std::string_view section, int index, int count) {
  const std::string which = Say("line {0} of {1} of {2}", index + 1, count, section);
  const auto line = ReadTextLine();
  if (!line) FailAtEnd(which);
  if (isHeading_ != nullptr && isHeading_(*line))
    throw RunFailure(FailedInput::Text,
                     Say("line {0}: expected {1} but found the heading \"{2}\"; the text has "
                         "fewer lines than its project.",
                         lineNumber_, which, Printable(*line)));
  return *line;
}

void TextReader::SkipPast(std::string_view heading) {
  while (const auto line = ReadTextLine())
    if (EqualsIgnoreCase(*line, heading)) return;
  FailAtEnd(Say("the heading \"{0}\"", heading));
}

std::string GetField(std::string_view line, int index) {
  return FieldReader(line, index).Next();
}

FieldReader::FieldReader(std::string_view line, int first) : line_(line) {
  for (; index_ < first && position_ < line_.size(); ++index_)
    position_ = NextFieldStart(line_, position_);
}

std::string FieldReader::Next() {
  const std::size_t start = position_;
  std::string field = FieldAt(line_, start);
  position_ = NextFieldStart(line_, start);
  last_ = line_.substr(std::min(start, line_.size()),
                       std::min(position_ - 1, line_.size()) - std::min(start, line_.size()));
  ++index_;
  return field;
}

void FieldReader::Fail(std::string_view problem) const {
  FailSaying(ToTranslate("field {0} is \"{1}\": {2}"), problem);
}

void FieldReader::FailSaying(std::string_view pattern, std::string_view piece) const {
  throw FieldError(WithLayout(Say(pattern, index_, Printable(last_), piece)));
}

std::string FieldReader::WithLayout(const std::string& detail) const {
  // TRANSLATORS: {0} says what is wrong with a field, {1} how the line should read.
  return layout_.empty() ? Say("{0}.", detail) : Say("{0}; {1}.", detail, layout_);
}

std::string FieldReader::Text(std::string_view what) {
  if (AtEnd()) {
    throw FieldError(
        // TRANSLATORS: {1} names what belongs in the field, as "the name" or ""in="".
        WithLayout(Say("the line ends before field {0}, where {1} belongs", index_ + 1, Tr(what))));
  }
  const std::size_t start = position_;
  std::string field = Next();
  if (line_[start] == '"') {
    const std::size_t close = SkipQuoted(line_, start) - 1;
    if (close >= line_.size())
      Fail(Say("its closing quote is missing (inside quotes write \\\" for a quote). {0}",
               Tr(backslashHint)));
    // A backslash that escapes nothing pexol writes was typed as itself, or is the second
    // byte of a Shift-JIS character: taking it as an escape would drop it silently.
    for (std::size_t at = start + 1; at < close; ++at) {
      if (line_[at] != '\\') continue;
      const char next = line_[++at];
      if (next == 'n' || next == 'r' || next == '"' || next == '\\') continue;
      Fail(Say("a backslash inside quotes must be followed by n, r, \" or \\. {0}",
               Tr(backslashHint)));
    }
    if (close + 1 < line_.size() && line_[close + 1] != ',') {
      const std::size_t comma = line_.find(',', close);
      last_ = line_.substr(
          start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      Fail(Tr("a comma must follow its closing quote"));
    }
  }
  return field;
}

std::string FieldReader::Key(std::string_view key) {
  std::string field = Text("\"" + std::string(key) + "\"");
  if (field.size() < key.size() ||
      !EqualsIgnoreCase(std::string_view(field).substr(0, key.size()), key))
    FailSaying(ToTranslate("field {0} is \"{1}\" where \"{2}\" belongs"), key);
  return field.substr(key.size());
}

std::int64_t FieldReader::Checked(std::string_view key, std::int64_t lowest, std::int64_t highest,
                                  std::string_view range, std::string_view unit) {
  const std::string value = Key(key);
  const auto number = LeadingNumber(value, lowest, highest);
  if (number) {
    const std::string_view rest = AfterNumber(value);
    if (rest.empty() || (!unit.empty() && EqualsIgnoreCase(rest, unit))) return *number;
    Fail(unit.empty()
             ? Say("\"{0}\" after the number is no part of it; write the number alone",
                   Printable(rest))
             : Say("\"{0}\" after the number is no part of it; write the number alone or with "
                   "\"{1}\"",
                   Printable(rest), unit));
  }
  if (LeadingNumber(value, INT64_MIN, INT64_MAX))
    Fail(Say("the number does not fit {0}", Tr(range)));
  if (key.empty()) FailSaying(ToTranslate("field {0} is \"{1}\", where a number belongs"));
  Fail(Say("\"{0}\" must be followed by a number", key));
}

std::int32_t FieldReader::Number(std::string_view key, std::string_view unit) {
  const std::int64_t value =
      Checked(key, INT32_MIN, UINT32_MAX, ToTranslate("32 bits (-2147483648 to 4294967295)"), unit);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::uint16_t FieldReader::Level(std::string_view key, std::string_view unit) {
  return static_cast<std::uint16_t>(
      Checked(key, INT16_MIN, UINT16_MAX, ToTranslate("16 bits (-32768 to 65535)"), unit));
}

void FieldReader::End() {
  if (AtEnd()) return;
  Next();
  FailSaying(ToTranslate("field {0} is \"{1}\", but the line should end before it"));
}

std::optional<std::int64_t> LeadingNumber(std::string_view text, std::int64_t lowest,
                                          std::int64_t highest) {
  const bool negative = !text.empty() && text.front() == '-';
  std::size_t at = negative ? 1 : 0;
  if (at >= text.size() || text[at] < '0' || text[at] > '9') return std::nullopt;
  // Far beyond any range asked for; stops the digits before they could overflow.
  constexpr std::int64_t beyond = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = std::min(value * 10 + (text[at] - '0'), beyond);
  if (negative) value = -value;
  if (value < lowest || value > highest) return std::nullopt;
  return value;
}

std::string_view AfterNumber(std::string_view text) {
  const std::size_t end = text.find_first_not_of("0123456789", text.starts_with('-') ? 1 : 0);
  return end == std::string_view::npos ? std::string_view{} : text.substr(end);
}

std::string EscapeQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string FieldText(std::string_view text) {
  const bool plain = text.find_first_of(",\r\n") == std::string_view::npos &&
                     (text.empty() || text.front() != '"');
  if (plain) return std::string(text);
  return "\"" + EscapeQuoted(text) + "\"";
}

}  // namespace pexol
