// media/MediaResolver.cpp - the four steps from a stored name to a file
#include "media/MediaResolver.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
#include "media/PathText.h"
#include "media/SearchIndex.h"
#include "media/TranscodeChoices.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);  // follows links; a folder is not a file
}

MediaResolution Found(int step, const fs::path& path, MediaResolution result) {
  result.status = MediaStatus::Found;
  result.step = step;
  result.path = Utf8OfPath(path);
  return result;
}

MediaResolution Tied(int step, std::vector<std::string> candidates, MediaResolution result) {
  result.status = MediaStatus::Ambiguous;
  result.step = step;
  result.candidates = std::move(candidates);
  return result;
}

// Neither "C:..." nor "\\server..." nor "\\folder...": a name from the project's own folder.
bool StoredNameIsRelative(std::string_view name) {
  return !(name.size() >= 2 && name[1] == ':') && !IsPathSeparator(name.front());
}

// A project names its movies as AVI files, whatever the file holds; a collect that transcoded
// them keeps those names and puts the new file beside where the name leads, ending as its
// container does.
std::optional<fs::path> TranscodedTwin(const fs::path& path) {
  const std::string extension = Utf8OfPath(path.extension());
  if (!EqualsIgnoreCase(extension, ".avi")) return std::nullopt;
  for (const TranscodeKindChoice& kind : TranscodeKinds()) {
    if (kind.extension == nullptr) continue;
    fs::path twin = path;
    twin.replace_extension(kind.extension);
    if (IsFile(twin)) return twin;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ResolveOptions> ResolveOptionsFor(const std::string& project,
                                                const std::vector<std::string>& maps,
                                                const std::vector<std::string>& searchFolders,
                                                std::string& failure) {
  ResolveOptions options;
  // Relative names start in the project's folder, as they did where the project was made.
  std::error_code error;
  const fs::path path = PathOfUtf8(project);
  const fs::path absolute = fs::absolute(path, error);
  options.projectFolder = Utf8OfPath((error ? path : absolute).parent_path());
  options.searchFolders = searchFolders;
  for (const std::string& text : maps) {
    std::string error;
    auto rule = ParseMapRule(text, error);
    if (!rule) {
      failure = Say("Can not use the map rule \"{0}\"\n\n{1}", text, error);
      return std::nullopt;
    }
    options.map.Add(std::move(*rule));
  }
  return options;
}

MediaResolver::MediaResolver(ResolveOptions options) : options_(std::move(options)) {
  std::error_code error;
  const fs::path folder = fs::absolute(PathOfUtf8(options_.projectFolder), error);
  if (!error) options_.projectFolder = Utf8OfPath(folder);
  // A mistyped folder would leave every name under its prefix missing without a word.
  for (const MapRule& rule : options_.map.Rules()) {
    std::error_code typeError;
    if (!fs::is_directory(PathOfUtf8(rule.folder), typeError))
      warnings_.push_back(Say("cannot find the map folder {0}", rule.folder));
  }
}

MediaResolver::~MediaResolver() = default;

const SearchIndex& MediaResolver::Index() {
  if (!index_)
    index_ = std::make_unique<SearchIndex>(options_.searchFolders, options_.caseInsensitive,
                                           options_.stopRequested, warnings_);
  return *index_;
}

MediaResolution MediaResolver::Resolve(std::string_view storedName) {
  // The system would cut the name at a NUL byte and look up another file.
  if (storedName.empty() || storedName.find('\0') != std::string_view::npos) return {};

  const LocalName local = LocalMediaPath(storedName, options_.map, options_.projectFolder);
  MediaResolution result;
  result.path = local.path;
  result.decoded = local.decoded;

  // 1. The bytes as stored: a file copied with its Shift-JIS name, or an ASCII name.
  bool sameAsStored = false;
  bool relative = false;
  try {
    fs::path stored{std::string(storedName)};
    relative = !platform::IsAbsolute(stored) && StoredNameIsRelative(storedName);
    if (!platform::IsAbsolute(stored)) stored = PathOfUtf8(options_.projectFolder) / stored;
    if (IsFile(stored)) return Found(1, stored, result);
    sameAsStored = Utf8OfPath(stored) == local.path;
  } catch (const std::exception&) {  // bytes the platform cannot take as a name name no file
  }

  // 2. Decoded and mapped. A name still in Windows form is no path here; only the search
  // folders can find it.
  const fs::path path = PathOfUtf8(local.path);
  if (platform::IsAbsolute(path)) {
    if (!sameAsStored && IsFile(path)) return Found(2, path, result);
    // 3. The same path in another letter case, as a Windows disk would have matched it.
    if (options_.caseInsensitive) {
      std::vector<fs::path> files = listings_.Find(path, warnings_);
      if (files.size() == 1) return Found(3, files.front(), result);
      if (files.size() > 1) {
        std::vector<std::string> candidates;
        for (const fs::path& file : files) candidates.push_back(Utf8OfPath(file));
        return Tied(3, std::move(candidates), result);
      }
    }
    if (relative)
      if (std::optional<fs::path> twin = TranscodedTwin(path)) return Found(2, *twin, result);
  }

  // 4. The file name in the search folders.
  if (options_.searchFolders.empty()) return result;
  std::vector<std::string> best = Index().BestMatches(local.path);
  if (best.size() == 1) return Found(4, PathOfUtf8(best.front()), result);
  if (best.size() > 1) return Tied(4, std::move(best), result);
  return result;
}

}  // namespace pexol
