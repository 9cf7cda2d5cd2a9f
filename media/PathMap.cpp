// media/PathMap.cpp - map rules: parsing, the longest prefix, and names made local
#include "media/PathMap.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "media/PathText.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

bool StartsWithFolder(std::string_view name, std::string_view prefix) {
  if (prefix.empty() || name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (IsPathSeparator(name[i]) && IsPathSeparator(prefix[i])) continue;
    if (FoldAsciiCase(name[i]) != FoldAsciiCase(prefix[i])) return false;
  }
  return name.size() == prefix.size() || IsPathSeparator(name[prefix.size()]) ||
         IsPathSeparator(prefix.back());
}

bool IsWindowsForm(std::string_view name) {
  const bool driveLetter =
      name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  const bool unc = name.size() >= 2 && IsPathSeparator(name[0]) && IsPathSeparator(name[1]);
  return driveLetter || unc;
}

std::string ForwardSlashes(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

fs::path Absolute(const fs::path& path) {
  if (platform::IsAbsolute(path)) return path;
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute;
}

}  // namespace

std::optional<MapRule> ParseMapRule(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = Say("the map rule \"{0}\" has no '=': write PREFIX=FOLDER", text);
    return std::nullopt;
  }
  std::string_view prefix = text.substr(0, equals);
  const std::string_view folder = text.substr(equals + 1);
  if (prefix.empty() || folder.empty()) {
    error = prefix.empty() ? Say("the map rule \"{0}\" has no Windows folder before '='", text)
                           : Say("the map rule \"{0}\" has no local folder after '='", text);
    return std::nullopt;
  }
  if (!IsValidUtf8(text)) {
    error = Say("the map rule \"{0}\" is not UTF-8 text", text);
    return std::nullopt;
  }
  // "C:\Video\" names the folder "C:\Video"; without the separator the boundary test is one.
  while (prefix.size() > 1 && IsPathSeparator(prefix.back())) prefix.remove_suffix(1);
  return MapRule{std::string(prefix), Utf8OfPath(Absolute(PathOfUtf8(folder)))};
}

const MapRule* PathMap::Match(std::string_view name) const {
  const MapRule* best = nullptr;
  for (const MapRule& rule : rules_)
    if ((!best || rule.prefix.size() > best->prefix.size()) && StartsWithFolder(name, rule.prefix))
      best = &rule;
  return best;
}

namespace {

// True when joining and normalising would change nothing: no "." or ".." component, no
// doubled separator. Most names are such, and lexical normalisation costs far more than a look.
bool AlreadyNormal(std::string_view path) {
  if (path.find("//") != std::string_view::npos) return false;
  for (std::size_t at = 0; at < path.size();) {
    std::size_t end = path.find('/', at);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(at, end - at);
    if (part == "." || part == "..") return false;
    at = end + 1;
  }
  return true;
}

}  // namespace

LocalName LocalMediaPath(std::string_view storedName, const PathMap& map,
                         const std::string& projectFolder) {
  DecodedName decoded = DecodeShiftJis(storedName);
  LocalName local;
  local.decoded = decoded.valid;
  const std::string_view name = decoded.utf8;
  fs::path path;
  if (const MapRule* rule = map.Match(name)) {
    std::string_view rest = name.substr(std::min(rule->prefix.size(), name.size()));
    while (!rest.empty() && IsPathSeparator(rest.front())) rest.remove_prefix(1);
    path = PathOfUtf8(rule->folder) / PathOfUtf8(ForwardSlashes(rest));
  } else if (IsWindowsForm(name)) {
    local.path = ForwardSlashes(name);
    local.windowsForm = true;
    return local;
  } else {
    std::string relative = ForwardSlashes(name);
    if (!relative.starts_with('/') && !projectFolder.empty() && projectFolder.starts_with('/') &&
        !projectFolder.ends_with('/')) {
      std::string joined = projectFolder + '/' + relative;
      if (AlreadyNormal(joined)) {
        local.path = std::move(joined);
        return local;
      }
    }
    path = PathOfUtf8(relative);
    if (!platform::IsAbsolute(path)) path = Absolute(PathOfUtf8(projectFolder)) / path;
  }
  local.path = Utf8OfPath(path.lexically_normal());
  return local;
}

}  // namespace pexol
