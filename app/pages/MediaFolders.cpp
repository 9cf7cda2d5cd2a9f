// app/pages/MediaFolders.cpp - the media folders setting and the rules its dialog adds
#include "app/pages/MediaFolders.h"

#include <algorithm>

#include "app/pages/SettingsStore.h"
#include "core/TextEncoding.h"

namespace pexol::pages {

namespace {

constexpr const char* mapsKey = "media/maps";
constexpr const char* searchKey = "media/searchFolders";

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view space = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(space);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

MediaFolders MediaFolders::Load(const SettingsStore& store) {
  MediaFolders folders;
  if (auto maps = store.List(mapsKey)) folders.maps = std::move(*maps);
  if (auto search = store.List(searchKey)) {
    folders.searchFolders = std::move(*search);
  } else if (const auto single = store.Text("find/searchFolder"); single && !single->empty()) {
    folders.searchFolders.push_back(*single);
  }
  return folders;
}

void MediaFolders::Save(SettingsStore& store) const {
  store.SetList(mapsKey, maps);
  store.SetList(searchKey, searchFolders);
}

void AddSearchFolder(std::vector<std::string>& folders, const std::string& folder) {
  if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
    folders.push_back(folder);
}

std::optional<std::string> MapRule(std::string_view windowsFolder, std::string_view localFolder) {
  const std::string_view from = Trimmed(windowsFolder);
  const std::string_view to = Trimmed(localFolder);
  if (from.empty() || to.empty() || from.find('=') != std::string_view::npos) return std::nullopt;
  return std::string(from) + "=" + std::string(to);
}

std::string StoredFolder(std::string_view stored) {
  const DecodedName name = DecodeShiftJis(stored);
  const std::size_t cut = name.utf8.find_last_of("\\/");
  if (!name.valid || cut == std::string::npos) return {};
  return name.utf8.substr(0, cut);
}

}  // namespace pexol::pages
