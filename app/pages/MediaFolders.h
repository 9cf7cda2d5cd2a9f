// app/pages/MediaFolders.h - where moved media are looked for: map rules and search folders
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexol::pages {

class SettingsStore;

/// The one setting every run that resolves media reads; UTF-8 names.
struct MediaFolders {
  std::vector<std::string> maps =
      {};  ///< "PREFIX=FOLDER": Windows folder PREFIX is the local FOLDER
  std::vector<std::string> searchFolders = {};

  /// Reads the setting; the find page's former single search folder starts the list.
  static MediaFolders Load(const SettingsStore& store);
  void Save(SettingsStore& store) const;
  bool operator==(const MediaFolders&) const = default;
};

/// Adds `folder` to the end of `folders` unless it is empty or listed already.
void AddSearchFolder(std::vector<std::string>& folders, const std::string& folder);

/// The folder of a stored media name (Shift-JIS bytes) as the dialog's Windows folder takes it:
/// C:\Video\day of C:\Video\day\a.avi; empty for a name with no folder or bytes that
/// do not decode, which typed back would not name the same folder.
std::string StoredFolder(std::string_view stored);

/// The rule the dialog's "add" makes of a Windows folder and a local one (both trimmed);
/// nullopt when either is empty or the Windows folder holds "=", which ends it in a rule.
std::optional<std::string> MapRule(std::string_view windowsFolder, std::string_view localFolder);

}  // namespace pexol::pages
