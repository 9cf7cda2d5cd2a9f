// collect/CopyVerified.h - one media file copied (or linked) and checked against its source
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pexol {

/// What a checked copy holds.
struct CopiedFile {
  std::uintmax_t bytes = 0;
  std::string sha256;   ///< of the source as read, equal to the copy's; empty for a link
  bool linked = false;  ///< a hard link to the source, not a copy
};

/// Puts `source` at `destination`, which must not exist: a hard link when `link` asks and the
/// file system allows it, else a copy, read back and compared with the source (size and
/// SHA-256) before it counts. `copied` hears of the bytes as they are written (or at once for a
/// link); `expectedBytes` is the size the source had when the collect was planned, so that a
/// source that shrank or grew meanwhile fails too. Throws `RunStopped` when `stop` says so
/// between pieces, of the copy or of its reading back. nullopt, with `error` set, when anything
/// failed; the destination may then be left for the caller to remove with its folder.
std::optional<CopiedFile> CopyVerified(const std::string& source, const std::string& destination,
                                       bool link, std::uintmax_t expectedBytes,
                                       const std::function<void(std::uintmax_t)>& copied,
                                       const std::function<bool()>& stop, std::string& error);

}  // namespace pexol
