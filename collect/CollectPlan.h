// collect/CollectPlan.h - which media a collect copies, where each goes and what it leaves
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "media/MediaResolver.h"
#include "model/Project.h"

namespace pexol {

/// What a collect writes of a file.
enum class FileAction {
  Copy,       ///< as it is
  Transcode,  ///< a movie encoded again, whole or in pieces
  ToPng,      ///< a still few editors open, written as PNG
};

/// A part of a movie that a trimmed collect keeps: its frames `first` to `last`, both kept.
struct MoviePiece {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::string name;    ///< the name the project gives it below media/ ('/', ending ".avi")
  std::string output;  ///< the file written below media/ ('/', ending as its container does)
};

/// One file to copy: found once, however many names lead to it.
struct CollectedFile {
  std::string source;        ///< the file found, UTF-8, absolute
  std::string relative;      ///< its place below the folder's media/, '/' separators
  std::uintmax_t bytes = 0;  ///< its size when planned
  int names = 0;             ///< stored names that lead to it
  bool movie = false;        ///< a name leading to it ends as a movie's does
  bool still = false;        ///< a name leading to it ends as a still's does
  FileAction action = FileAction::Copy;
  std::string output;  ///< the file written below media/; `asIs` for a copy
  /// Where a copy of it goes below media/: `relative`, but for a movie found as a transcoded
  /// twin (a `.mov` the project names as `.avi`) the twin's own name beside it.
  std::string asIs;
  std::vector<MoviePiece> pieces;  ///< a trimmed movie's parts, in order; empty when whole
  std::int64_t frames = 0;         ///< a movie's frames as probed; 0 when not known
};

/// A name the collect could not bring along: not found, found in several places, or found
/// but not renamable; `why` says what was tried or why.
struct UncollectedName {
  std::string name;  ///< UTF-8 (decoded for display)
  /// Why, as a sentence of the catalogue and the pieces put into it: the report in the folder
  /// says it in English, the terminal and the window in the chosen language. Empty when no more
  /// is known.
  std::string_view why;
  std::vector<std::string> pieces;
};

struct CollectPlan {
  std::vector<CollectedFile> files;
  /// Stored name (bytes as in the project) to its new name, "media\..." in UTF-8.
  std::map<std::string, std::string> newNames;
  /// Stored name to the index in `files` of the file it leads to, for the names renamed.
  std::map<std::string, std::size_t> fileOfName;
  std::vector<UncollectedName> missing;
  std::vector<UncollectedName> ambiguous;
  std::vector<UncollectedName> leftOut;
  std::uintmax_t totalBytes = 0;
};

/// Resolves every media name of `project` as the check does (each distinct name once) and
/// lays the files found out below their common folder; the same file under two names is
/// copied once, two files that would land on one name (letter case aside, as Windows sees
/// names) are told apart by "-2", "-3" before the extension. A name is left out when its new
/// name cannot be held in Shift-JIS, would be too long for a project, or would read as
/// another kind of clip.
CollectPlan PlanCollect(const Project& project, MediaResolver& resolver);

}  // namespace pexol
