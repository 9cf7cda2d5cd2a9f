// core/OutputSet.cpp - write all, sync all, then rename all under the folder's lock
#include "core/OutputSet.h"

#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"

namespace pexol {

SetCommit CommitSet(std::span<const SetMember> members, std::span<const std::string> obsolete) {
  SetCommit result;
  for (const SetMember& member : members) {
    const bool prepared = member.written ? member.file->PrepareWritten(result.reason)
                                         : member.file->Prepare(member.bytes, result.reason);
    if (!prepared) {
      result.failedPath = member.file->Path();
      return result;
    }
  }
  if (members.empty()) return result;
  // The set is placed whole or not at all when the run is being ended (see `PlacingResults`).
  const PlacingResults placing;
  if (!placing) {
    result.reason = Tr("the run was stopped");
    result.failedPath = members.front().file->Path();
    for (const SetMember& member : members) result.kept.push_back(member.file->Path());
    return result;
  }
  const platform::FolderLock lock(members.front().file->Path());
  // Files that are not renamed (devices, files with other hard links) are written first: they
  // are the ones that can still fail, and renames rarely do.
  std::vector<OutputFile*> order;
  for (const bool renames : {false, true})
    for (const SetMember& member : members)
      if (member.file->Renames() == renames) order.push_back(member.file);
  for (std::size_t i = 0; i < order.size(); ++i) {
    OutputFile& file = *order[i];
    if (!file.Place(result.reason)) {
      result.failedPath = file.Path();
      for (std::size_t j = i; j < order.size(); ++j) result.kept.push_back(order[j]->Path());
      return result;
    }
    result.replaced.push_back(file.Path());
  }
  for (const std::string& path : obsolete) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(
            std::filesystem::symlink_status(platform::PathOf(path), code)))
      continue;
    if (std::filesystem::remove(platform::PathOf(path), code)) result.removed.push_back(path);
  }
  result.completed = true;
  return result;
}

}  // namespace pexol
