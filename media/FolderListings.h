// media/FolderListings.h - files found by a path compared without regard to letter case
#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace pexol {

/// Looks up paths component by component without regard to ASCII letter case, listing each
/// folder once per run however many names it holds.
class FolderListings {
 public:
  /// The files `path` (absolute, lexically normal) names in any letter case. A folder takes
  /// the same-case variant if there is one, else the first by name; the last component gives
  /// the same-case file alone if it exists, else every variant (several means a tie). A folder
  /// never counts as a file. Unreadable folders add a warning once. Never throws.
  std::vector<std::filesystem::path> Find(const std::filesystem::path& path,
                                          std::vector<std::string>& warnings);

 private:
  struct Entry {
    std::string name;   ///< as the system names it: UTF-8, or the bytes on disk
    std::string match;  ///< as a project's decoded names compare with it (`NameToMatch`)
    bool folder = false;
    bool file = false;  ///< a regular file, or a link to one
  };
  /// Entries by folded name; an unreadable folder has none.
  using Listing = std::unordered_map<std::string, std::vector<Entry>>;

  const Listing& ListingOf(const std::filesystem::path& folder, std::vector<std::string>& warnings);

  std::unordered_map<std::string, Listing> listings_;  // by the folder's UTF-8 path
};

}  // namespace pexol
