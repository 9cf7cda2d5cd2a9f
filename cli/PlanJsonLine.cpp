// cli/PlanJsonLine.cpp - a planned command line as one JSON line any reader takes
#include "cli/PlanJsonLine.h"

#include <cstddef>
#include <string_view>

#include "cli/JsonReport.h"

namespace pexol::cli {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

void AppendEscape(std::string& line, unsigned code) {
  line += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) line += hexDigits[(code >> shift) & 15];
}

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms, no surrogates,
// nothing past U+10FFFF), or 0.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xbf;  // the second byte's range
  if (lead >= 0xc2 && lead <= 0xdf)
    length = 2;
  else if (lead == 0xe0)
    length = 3, low = 0xa0;
  else if (lead == 0xed)
    length = 3, high = 0x9f;
  else if (lead >= 0xe1 && lead <= 0xef)
    length = 3;
  else if (lead == 0xf0)
    length = 4, low = 0x90;
  else if (lead >= 0xf1 && lead <= 0xf3)
    length = 4;
  else if (lead == 0xf4)
    length = 4, high = 0x8f;
  else
    return 0;
  if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xbf) return 0;
  return length;
}

// Returns whether every byte was UTF-8.
bool AppendString(std::string& line, std::string_view text) {
  bool utf8 = true;
  line += '"';
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    const auto c = static_cast<unsigned char>(text[at]);
    if (length == 0) {
      AppendEscape(line, 0xdc00 + c);
      utf8 = false;
      ++at;
      continue;
    }
    if (c == '"' || c == '\\') {
      line += '\\';
      line += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      AppendEscape(line, c);
    } else {
      line.append(text, at, length);
    }
    at += length;
  }
  line += '"';
  return utf8;
}

}  // namespace

std::string PlanJsonLine(const std::vector<std::string>& arguments) {
  std::string line = "{\"argv\":[";
  bool utf8 = true;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ',';
    utf8 = AppendString(line, arguments[i]) && utf8;
  }
  line += ']';
  if (!utf8) {
    line += ",\"argvBytes\":[";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (i > 0) line += ',';
      AppendString(line, EscapedBytes(arguments[i]));
    }
    line += ']';
  }
  return line + "}";
}

}  // namespace pexol::cli
