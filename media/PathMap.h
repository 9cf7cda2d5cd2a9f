// media/PathMap.h - Windows folders moved to local folders, and stored names as local paths
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// Names that start with the Windows folder `prefix` are found under the local `folder`.
struct MapRule {
  std::string prefix;  ///< UTF-8 Windows folder, e.g. "C:\Video", without trailing separators
  std::string folder;  ///< UTF-8 local folder, absolute
};

/// The rule of a "PREFIX=FOLDER" argument, split at the first '=' (a Windows folder cannot
/// hold one, a local folder can); a relative folder is taken from the current folder.
/// nullopt, with `error` set, when the '=' or a side is missing or the text is not UTF-8.
std::optional<MapRule> ParseMapRule(std::string_view text, std::string& error);

/// The map rules of a run.
class PathMap {
 public:
  /// Adds a rule; of two with equal prefixes the first added wins.
  void Add(MapRule rule) { rules_.push_back(std::move(rule)); }
  /// The rules in the order added.
  const std::vector<MapRule>& Rules() const { return rules_; }

  /// The rule with the longest prefix that `name` (UTF-8) starts with at a component
  /// boundary: "C:\Video" matches "C:\Video\a.avi" and "C:\Video", not "C:\Videos\a.avi".
  /// Letters compare without regard to ASCII case and '\' equals '/'. nullptr when none does.
  const MapRule* Match(std::string_view name) const;

 private:
  std::vector<MapRule> rules_;
};

/// A stored name as a path on this system.
struct LocalName {
  std::string path;          ///< UTF-8 with '/' separators
  bool decoded = true;       ///< false when bytes that are not Shift-JIS became U+FFFD
  bool windowsForm = false;  ///< still a drive letter or \\server\share name: no rule matched
};

/// The path to use here for a stored name: decoded from Shift-JIS as a whole (5C is also the
/// second byte of 表 and ソ), the longest map rule applied (the rest of the name goes under
/// its folder), separators made '/', and a relative name taken from `projectFolder`. Mapped
/// and relative names come out absolute and lexically normal; a drive letter or UNC name
/// without a rule keeps its Windows form ("C:/Video/a.avi").
LocalName LocalMediaPath(std::string_view storedName, const PathMap& map,
                         const std::string& projectFolder);

}  // namespace pexol
