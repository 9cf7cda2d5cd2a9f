// media/PathText.cpp - letter case, separators and UTF-8 paths for the media lookups
#include "media/PathText.h"

#include <algorithm>

#include "core/PlatformPath.h"
#include "core/TextEncoding.h"

namespace pexol {

std::string FoldAsciiCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldAsciiCase(c);
  return folded;
}

bool EqualFoldingAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAsciiCase(x) == FoldAsciiCase(y);
         });
}

std::vector<std::string_view> PathComponents(std::string_view name) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= name.size(); ++at) {
    if (at < name.size() && !IsPathSeparator(name[at])) continue;
    if (at > start) parts.push_back(name.substr(start, at - start));
    start = at + 1;
  }
  return parts;
}

std::filesystem::path PathOfUtf8(std::string_view utf8) {
  return platform::PathOf(utf8);
}

std::string Utf8OfPath(const std::filesystem::path& path) {
  return platform::Utf8Of(path);
}

std::string NameToMatch(std::string_view onDisk) {
  if (IsValidUtf8(onDisk)) return std::string(onDisk);
  if (IsValidShiftJis(onDisk)) {
    DecodedName decoded = DecodeShiftJis(onDisk);
    if (decoded.valid) return std::move(decoded.utf8);
  }
  return std::string(onDisk);
}

std::string PathToShow(std::string_view path) {
  if (IsValidUtf8(path)) return std::string(path);
  std::string shown;
  shown.reserve(path.size());
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, slash - start);
    std::string read = NameToMatch(part);
    shown += IsValidUtf8(read) ? read : DecodeShiftJis(part).utf8;
    if (slash < path.size()) shown += '/';
    start = slash + 1;
  }
  return shown;
}

}  // namespace pexol
