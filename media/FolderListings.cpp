// media/FolderListings.cpp - cached folder listings walked one component at a time
#include "media/FolderListings.h"

#include <algorithm>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "media/PathText.h"

namespace pexol {

namespace fs = std::filesystem;

const FolderListings::Listing& FolderListings::ListingOf(const fs::path& folder,
                                                         std::vector<std::string>& warnings) {
  const auto [slot, added] = listings_.try_emplace(Utf8OfPath(folder));
  Listing& listing = slot->second;
  if (!added) return listing;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    Entry entry{Utf8OfPath(entries->path().filename()), {}};
    entry.match = NameToMatch(entry.name);
    std::error_code typeError;  // a broken link is neither a folder nor a file
    entry.folder = entries->is_directory(typeError);
    entry.file = !entry.folder && entries->is_regular_file(typeError);
    listing[FoldAsciiCase(entry.match)].push_back(std::move(entry));
  }
  // A folder that does not exist is the common "not here", not a problem worth a warning.
  if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory)
    warnings.push_back(Say("cannot read the folder {0}: {1}", Utf8PathName(Utf8OfPath(folder)),
                           SystemReason(error)));
  for (auto& [folded, variants] : listing)
    std::sort(variants.begin(), variants.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return listing;
}

std::vector<fs::path> FolderListings::Find(const fs::path& path,
                                           std::vector<std::string>& warnings) {
  const fs::path relative = path.relative_path();
  std::vector<std::string> parts;
  for (const fs::path& part : relative) parts.push_back(Utf8OfPath(part));
  if (!platform::IsAbsolute(path) || parts.empty()) return {};

  fs::path current = path.root_path();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Listing& listing = ListingOf(current, warnings);
    const auto variants = listing.find(FoldAsciiCase(parts[i]));
    if (variants == listing.end()) return {};
    const bool last = i + 1 == parts.size();
    const Entry* chosen = nullptr;
    std::vector<fs::path> files;
    for (const Entry& entry : variants->second) {
      if (!(last ? entry.file : entry.folder)) continue;
      if (entry.match == parts[i]) {
        chosen = &entry;
        break;
      }
      if (!chosen) chosen = &entry;
      if (last) files.push_back(current / PathOfUtf8(entry.name));
    }
    if (!chosen) return {};
    if (last) {
      if (chosen->match == parts[i]) return {current / PathOfUtf8(chosen->name)};
      return files;
    }
    current /= PathOfUtf8(chosen->name);
  }
  return {};
}

}  // namespace pexol
