// convert/EdlEdits.cpp - the text after "[END]" compared with the EDLs its project gives
#include "convert/EdlEdits.h"

#include <array>

#include "convert/ProjectToText.h"
#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// The lines of `text` without line ends, trailing blanks or empty lines: an editor may change
// any of those without changing the EDL.
std::string Normalised(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    if (line.empty()) continue;
    lines += line;
    lines += '\n';
  }
  return lines;
}

// What follows the first line that reads "[END]"; nullopt when there is none.
std::optional<std::string_view> AfterEnd(std::string_view text) {
  constexpr std::string_view end = "[END]";
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t next = text.find('\n', at);
    if (next == std::string_view::npos) next = text.size();
    std::string_view line = text.substr(at, next - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (EqualsIgnoreCase(line, end)) return text.substr(std::min(next + 1, text.size()));
    at = next + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> EdlEditsWarning(const Project& source, std::string_view text,
                                           bool utf8) {
  const auto tail = AfterEnd(text);
  if (!tail) return std::nullopt;
  const std::string edited = Normalised(*tail);
  if (edited.empty()) return std::nullopt;
  constexpr std::array modes = {TimecodeMode::NtscDrop, TimecodeMode::NtscNonDrop,
                                TimecodeMode::Pal, TimecodeMode::Frame};
  NullObserver quiet;
  for (const bool csv : {false, true})
    for (const TimecodeMode mode : modes) {
      ToTextOptions options;
      options.software = source.software;
      options.timecode = mode;
      options.csv = csv;
      options.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
      ByteWriter edl;
      RunProgress progress(quiet);
      WriteProjectEdl(source, options, edl, progress);
      if (Normalised(edl.TakeBytes()) == edited) return std::nullopt;
    }
  return std::string(
      Tr("the lines after [END] are not the project's EDL: the EDL is written from the project "
         "and never read back, so edits there are lost. Edit the clip lines above [END] "
         "instead, then make the text again with to-text for a new EDL."));
}

}  // namespace pexol
