// core/OutputSet.h - several destinations replaced as one
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileIo.h"

namespace pexol {

/// One file of a set and the bytes it receives.
struct SetMember {
  OutputFile* file;
  std::string_view bytes;
  /// The file's temporary file was filled by another writer; `bytes` is not used.
  bool written = false;
};

/// How committing a set ended.
struct SetCommit {
  bool completed = false;
  std::string failedPath;  ///< the file that could not be written or renamed
  std::string reason;
  /// When a rename failed: the files already replaced and those still as they were. Empty
  /// when the failure came while writing, before anything was replaced.
  std::vector<std::string> replaced;
  std::vector<std::string> kept;
  std::vector<std::string> removed;  ///< obsolete files removed (completed runs only)
};

/// Writes every member to its temporary file and puts it on the disk, and only then, holding a
/// lock on the folder of the first member (so that two runs on one destination follow each
/// other and never mix their sets), renames each into place (after writing the members that
/// are written in place, such as devices) and removes the `obsolete` files
/// (an earlier set's files that this one no longer has) that are plain files. A failure while
/// writing replaces nothing; a failed rename (rare: the folder changed under the run) is
/// reported with what was and was not replaced.
SetCommit CommitSet(std::span<const SetMember> members, std::span<const std::string> obsolete);

}  // namespace pexol
