// media/SearchIndex.cpp - one walk of the search folders, and the best match for a name
#include "media/SearchIndex.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unordered_set>

#include "core/RunFailure.h"
#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "media/FileIdentity.h"
#include "media/PathText.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

// How many folders, counted upwards from the file, are alike in both names; the found path's
// folders as their names are matched (`NameToMatch`).
std::size_t TrailingFolderMatch(const std::vector<std::string_view>& stored,
                                const std::vector<std::string_view>& found, bool foldCase) {
  std::size_t count = 0;
  // The last component of each is the file name, equal by construction.
  while (count + 1 < stored.size() && count + 1 < found.size()) {
    const std::string_view a = stored[stored.size() - 2 - count];
    const std::string b = NameToMatch(found[found.size() - 2 - count]);
    if (foldCase ? !EqualFoldingAsciiCase(a, b) : a != b) break;
    ++count;
  }
  return count;
}

}  // namespace

SearchIndex::SearchIndex(const std::vector<std::string>& folders, bool foldCase,
                         const std::function<bool()>& stopRequested,
                         std::vector<std::string>& warnings)
    : foldCase_(foldCase) {
  std::unordered_set<std::string> visited;
  std::vector<fs::path> pending;
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    pending.push_back(PathOfUtf8(*folder));
  while (!pending.empty()) {
    if (stopRequested && stopRequested()) throw RunStopped();
    const fs::path folder = std::move(pending.back());
    pending.pop_back();
    const std::optional<std::string> identity = FileIdentity(folder);
    if (!identity) {
      warnings.push_back(Say("cannot find the search folder {0}", Utf8OfPath(folder)));
      continue;
    }
    if (!visited.insert(*identity).second) continue;
    // Opened without skip_permission_denied: an unreadable folder must give a warning, not
    // look empty.
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    const std::size_t firstNew = pending.size();
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
      std::error_code typeError;  // a broken link is neither a folder nor a file
      if (entries->is_directory(typeError)) {
        pending.push_back(entries->path());
      } else if (entries->is_regular_file(typeError)) {
        // A name in another encoding (Shift-JIS, kept by a copy from a Japanese drive) is
        // matched as a project's name decodes; the path keeps its bytes, which open the file.
        byName_[Key(NameToMatch(Utf8OfPath(entries->path().filename())))].push_back(
            static_cast<std::uint32_t>(paths_.size()));
        paths_.push_back(Utf8OfPath(entries->path()));
      }
    }
    if (error)
      warnings.push_back(Say("cannot read the folder {0}: {1}", Utf8PathName(Utf8OfPath(folder)),
                             SystemReason(error)));
    // Listing order is the file system's; sorting keeps every run's walk the same.
    std::sort(pending.begin() + static_cast<std::ptrdiff_t>(firstNew), pending.end(),
              [](const fs::path& a, const fs::path& b) { return a > b; });
  }
}

std::string SearchIndex::Key(std::string_view name) const {
  return foldCase_ ? FoldAsciiCase(name) : std::string(name);
}

std::vector<std::string> SearchIndex::BestMatches(std::string_view name) const {
  const std::vector<std::string_view> stored = PathComponents(name);
  if (stored.empty()) return {};
  const auto named = byName_.find(Key(stored.back()));
  if (named == byName_.end()) return {};
  if (named->second.size() == 1) return {paths_[named->second.front()]};

  struct Candidate {
    std::size_t score;
    const std::string* path;
  };
  std::vector<Candidate> candidates;
  for (const std::uint32_t index : named->second)
    candidates.push_back(
        {TrailingFolderMatch(stored, PathComponents(paths_[index]), foldCase_), &paths_[index]});
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    return a.score != b.score ? a.score > b.score : *a.path < *b.path;
  });
  // A link and its target are one file: only the best-placed path to it competes.
  std::unordered_set<std::string> files;
  std::vector<std::string> best;
  for (const Candidate& candidate : candidates) {
    if (!best.empty() && candidate.score < candidates.front().score) break;
    const std::optional<std::string> identity = FileIdentity(PathOfUtf8(*candidate.path));
    if (identity && !files.insert(*identity).second) continue;
    best.push_back(*candidate.path);
  }
  return best;
}

}  // namespace pexol
