// media/SearchIndex.h - the files under the search folders, by name without regard to case
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pexol {

/// Every file under the search folders, read once: folders are walked without recursion,
/// symbolic links followed, and each folder (by identity) listed once, so loops of links
/// and deep trees end. Unreadable folders are skipped with a warning. Names that are not UTF-8
/// are matched decoded as Shift-JIS (`NameToMatch`); the paths keep their bytes. Never
/// throws.
class SearchIndex {
 public:
  /// Walks `folders` (UTF-8; relative ones from the current folder). With `foldCase`, names
  /// compare without regard to ASCII letter case.
  SearchIndex(const std::vector<std::string>& folders, bool foldCase,
              const std::function<bool()>& stopRequested, std::vector<std::string>& warnings);

  /// The files named like the last component of `name` (UTF-8, either separator) whose
  /// folders end most like the folders `name` ends with (counted from the file upwards,
  /// letter case as for names). One path when a file wins, several when files tie (sorted),
  /// none when no file has the name. Paths that lead to one file count once.
  std::vector<std::string> BestMatches(std::string_view name) const;

  /// How many files the walk found.
  std::size_t FileCount() const { return paths_.size(); }

 private:
  std::string Key(std::string_view name) const;

  bool foldCase_ = true;
  std::vector<std::string> paths_;  // as the system names them: UTF-8, or the bytes on disk
  std::unordered_map<std::string, std::vector<std::uint32_t>> byName_;
};

}  // namespace pexol
