// probe/PosterCache.h - poster frames kept under the user's cache folder, by file and frame
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace pexol {

/// The widest poster frame made: a clip's box in the window is rarely wider, and a timeline's
/// worth of them stays a few megabytes.
inline constexpr int posterWidth = 160;

/// A picture of a medium: a movie's first frame at or after a time from its start, or a still.
struct PosterRequest {
  std::string path;                          ///< the medium, found (UTF-8)
  std::optional<std::int64_t> microseconds;  ///< nullopt for a still
};

/// Where poster frames are kept: `$XDG_CACHE_HOME/pexol/posters` or `~/.cache/pexol/posters`,
/// `%LOCALAPPDATA%\pexol\cache\posters` on Windows. Empty when the system names no such folder.
std::filesystem::path PosterCacheFolder();

/// The file that keeps the poster of `request`: named by the medium's identity (the same file
/// by any path), size and time of change, and the time asked for, so that a medium changed or
/// replaced is decoded again. Empty when the medium or the cache folder is not there.
std::filesystem::path PosterCacheFile(const PosterRequest& request);

/// What the cache holds for `file`: PNG bytes, empty for a medium that has no picture (kept
/// so that it is not decoded again); nullopt when the file has not been made.
std::optional<std::string> CachedPoster(const std::filesystem::path& file);

}  // namespace pexol
