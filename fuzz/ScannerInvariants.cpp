// fuzz/ScannerInvariants.cpp - the invariants of lines, fields and numbers of a text
#include <algorithm>
#include <cstring>
#include <string>

#include "core/RunFailure.h"
#include "core/TextScanner.h"
#include "fuzz/Invariants.h"
#include "sections/ClipKind.h"

namespace pexol::fuzz {

namespace {

// Comparing every field of a long line with GetField is quadratic; the check stops here.
constexpr std::size_t fieldCheckBudget = 1 << 20;
constexpr std::size_t longestMessage = 512;

Broken CheckLines(std::string_view text) {
  TextReader reader(text);
  const char* end = text.data();
  int lineNumber = 0;
  std::size_t lines = 0;
  std::size_t budget = fieldCheckBudget;
  while (const auto line = reader.ReadTextLine()) {
    ++lines;
    if (line->empty()) return "an empty line was returned";
    if (line->find_first_of("\r\n") != std::string_view::npos) return "a line holds a CR or LF";
    if (line->data() < end || line->data() + line->size() > text.data() + text.size())
      return "a line is not the next part of the text";
    end = line->data() + line->size();
    if (reader.LineNumber() <= lineNumber) return "line numbers do not grow";
    lineNumber = reader.LineNumber();

    // One index past the last field, where both must give an empty field.
    const auto lastIndex = std::count(line->begin(), line->end(), ',') + 1;
    FieldReader fields(*line);
    for (int index = 0; index <= lastIndex && budget >= line->size(); ++index) {
      budget -= line->size();
      if (fields.Next() != GetField(*line, index)) return "FieldReader and GetField disagree";
    }
  }
  const auto lineEnds =
      std::count(text.begin(), text.end(), '\r') + std::count(text.begin(), text.end(), '\n');
  if (lines > static_cast<std::size_t>(lineEnds) + 1) return "more lines than line ends";
  if (reader.ReadTextLine()) return "a line after the end";
  return std::nullopt;
}

Broken CheckFieldTexts(std::string_view a, std::string_view b) {
  const std::string line = FieldText(a) + "," + FieldText(b);
  if (line.find('\r') != std::string::npos) return "FieldText wrote a CR";
  if (GetField(line, 0) != a || GetField(line, 1) != b || !GetField(line, 2).empty())
    return "FieldText does not give its texts back";
  if (GetField(NameFieldText(a) + ",", 0) != a) return "NameFieldText does not give its text back";
  if (GetField("\"" + EscapeQuoted(b) + "\"", 0) != b) return "EscapeQuoted does not come back";
  return std::nullopt;
}

Broken CheckNumber(std::string_view text) {
  std::int32_t value = 0;
  if (!text.empty()) std::memcpy(&value, text.data(), std::min(text.size(), sizeof value));
  if (LeadingNumber(std::to_string(value), INT32_MIN, INT32_MAX) != value)
    return "LeadingNumber misreads a number";
  LeadingNumber(text, INT64_MIN, INT64_MAX);
  return std::nullopt;
}

// Reads on until the text ends or a line is not what is wanted; that must be a RunFailure
// with a message of its own size, whatever the lines hold.
template <class Read>
Broken CheckFailure(std::string_view text, Read read) {
  TextReader reader(text);
  try {
    for (int index = 0;; ++index) read(reader, index);
  } catch (const RunFailure& failure) {
    if (std::strlen(failure.what()) > longestMessage) return "a text failure message is too long";
  }
  return std::nullopt;
}

}  // namespace

Broken CheckTextScanner(std::string_view text) {
  if (auto broken = CheckLines(text)) return broken;
  const std::size_t half = text.size() / 2;
  if (auto broken = CheckFieldTexts(text.substr(0, half), text.substr(half))) return broken;
  if (auto broken = CheckNumber(text)) return broken;
  if (auto broken = CheckFailure(text, [](TextReader& reader, int index) {
        if (index == 0) reader.SkipPast("[MainAV]");
        reader.ReadRecordLine("[MainAV]", index, 1 << 30);
      }))
    return broken;
  return CheckFailure(text, [](TextReader& reader, int) { reader.ReadHeading("[MainAV]"); });
}

}  // namespace pexol::fuzz
