// core/TextScanner.cpp - lines, fields and numbers of the text exchange file
#include "core/TextScanner.h"

#include <algorithm>
#include <cstring>

#include "core/RunFailure.h"

namespace pexol {

namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Shorten(std::string_view line) {
  constexpr std::size_t shown = 60;
  if (line.size() <= shown) return std::string(line);
  return std::string(line.substr(0, shown)) + "...";
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
  while (offset_ < text_.size()) {
    const std::size_t start = offset_;
    const void* cr = std::memchr(text_.data() + start, '\r', text_.size() - start);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text_.data()) : text_.size();
    // The byte after CR is dropped whatever it is.
    offset_ = cr ? std::min(end + 2, text_.size()) : text_.size();
    lineNumber_ = nextLineNumber_++;
    if (end > start) return text_.substr(start, end - start);
  }
  return std::nullopt;
}

void TextReader::FailAtEnd(std::string_view wanted) const {
  std::string detail = "the text ends after line " + std::to_string(lineNumber_) + ", where " +
                       std::string(wanted) + " was expected.";
  if (text_.find('\r') == std::string_view::npos && text_.find('\n') != std::string_view::npos)
    detail += " Its lines end with LF alone; they must end with CR LF.";
  throw RunFailure(FailedInput::Text, detail);
}

void TextReader::ReadHeading(std::string_view heading) {
  const auto line = ReadTextLine();
  if (!line) FailAtEnd("the heading \"" + std::string(heading) + "\"");
  if (!EqualsIgnoreCase(*line, heading))
    throw RunFailure(FailedInput::Text, "line " + std::to_string(lineNumber_) +
                                            ": expected the heading \"" + std::string(heading) +
                                            "\" but found \"" + Shorten(*line) + "\".");
}

std::string_view TextReader::ReadRecordLine(std::string_view section, int index, int count) {
  const std::string which = "line " + std::to_string(index + 1) + " of " + std::to_string(count) +
                            " of " + std::string(section);
  const auto line = ReadTextLine();
  if (!line) FailAtEnd(which);
  if (isHeading_ != nullptr && isHeading_(*line))
    throw RunFailure(FailedInput::Text, "line " + std::to_string(lineNumber_) + ": expected " +
                                            which + " but found the heading \"" +
                                            std::string(*line) +
                                            "\"; the text has fewer lines than its project.");
  return *line;
}

void TextReader::SkipPast(std::string_view heading) {
  while (const auto line = ReadTextLine())
    if (EqualsIgnoreCase(*line, heading)) return;
  FailAtEnd("the heading \"" + std::string(heading) + "\"");
}

std::string GetField(std::string_view line, int index) {
  return FieldReader(line, index).Next();
}

FieldReader::FieldReader(std::string_view line, int first) : line_(line) {
  for (int skipped = 0; skipped < first && position_ < line_.size(); ++skipped)
    position_ = NextFieldStart(line_, position_);
}

std::string FieldReader::Next() {
  std::string field = FieldAt(line_, position_);
  position_ = NextFieldStart(line_, position_);
  return field;
}

std::int32_t ParseNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  std::uint32_t value = 0;  // unsigned: wraps at 32 bits without undefined behaviour
  for (char c : text.substr(negative ? 1 : 0)) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return static_cast<std::int32_t>(negative ? 0u - value : value);
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
