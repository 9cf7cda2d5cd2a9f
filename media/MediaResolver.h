// media/MediaResolver.h - where on this system the media file a project names is
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/FolderListings.h"
#include "media/PathMap.h"

namespace pexol {

class SearchIndex;

enum class MediaStatus { Found, Missing, Ambiguous };

/// What became of one stored name.
struct MediaResolution {
  MediaStatus status = MediaStatus::Missing;
  /// The file found; otherwise the name as a local path (UTF-8, '/' separators), for reports.
  std::string path;
  std::vector<std::string> candidates;  ///< the tied files when Ambiguous
  int step = 0;                         ///< 1..4: the step that found the file or the tie
  bool decoded = true;                  ///< false when the name holds bytes that are not Shift-JIS
};

struct ResolveOptions {
  std::string projectFolder;               ///< relative names start here
  PathMap map;                             ///< Windows folders moved to local ones
  std::vector<std::string> searchFolders;  ///< searched by file name, recursively
  bool caseInsensitive = true;             ///< steps 3 and 4 ignore ASCII letter case
  /// Asked before each folder of the search folders is read; true stops the walk with
  /// `RunStopped`.
  std::function<bool()> stopRequested = {};
};

/// The options of a run on the project file `project`: relative names from its folder, the
/// `maps` ("PREFIX=FOLDER") rules, the search folders. nullopt, with the message in
/// `failure`, when a rule cannot be read.
std::optional<ResolveOptions> ResolveOptionsFor(const std::string& project,
                                                const std::vector<std::string>& maps,
                                                const std::vector<std::string>& searchFolders,
                                                std::string& failure);

/// Finds media files by their stored names, trying in turn: 1. the bytes as stored; 2. the
/// name decoded and mapped (LocalMediaPath); 3. that path in any letter case; 4. the file name
/// in the search folders, the best-placed one when several share it. A folder never counts
/// as a file; symbolic links are followed. Folder listings and the search folders' index are
/// read once per resolver, the index only when a name first needs it. Never throws for a
/// name or a file system problem; those become warnings. Throws `RunStopped` when
/// `stopRequested` says so during the walk of the search folders.
class MediaResolver {
 public:
  explicit MediaResolver(ResolveOptions options);
  ~MediaResolver();
  MediaResolver(const MediaResolver&) = delete;
  MediaResolver& operator=(const MediaResolver&) = delete;

  /// The file `storedName` (bytes as in the project) names; an empty name or one holding a
  /// NUL byte is always Missing.
  MediaResolution Resolve(std::string_view storedName);

  /// The problems met so far (unreadable folders, missing map and search folders), each once.
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  const SearchIndex& Index();

  ResolveOptions options_;
  FolderListings listings_;
  std::unique_ptr<SearchIndex> index_;
  std::vector<std::string> warnings_;
};

}  // namespace pexol
