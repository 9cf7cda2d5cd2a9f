// core/FileIo.h - whole-file reads and destination files that appear only when complete
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/FileReplace.h"

namespace pexol {

/// The whole file, read at once when its size is known; nullopt (with `error` set) when it cannot
/// be opened or read (missing, a folder, unreadable).
/// Leaves bytes uninitialised when a vector grows, since a read fills them at once.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

/// A file's bytes as read.
using FileBytes = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string& error);

/// True for the names that mean the null device ("nul" in any case, and /dev/null).
bool IsNullDevice(std::string_view path);

/// True when both names lead to one existing file; writing one would destroy the other.
bool SameFile(const std::string& a, const std::string& b);

/// A destination written to a temporary file beside it and renamed into place on
/// `Commit`, so a failed run never leaves a partial file or destroys an existing one. The
/// temporary file takes the replaced file's permission bits, owner and group, and is on the
/// disk, as is the rename, before `Commit` returns. A file with more than one hard link is
/// written in place instead, so that every name sees the new content. "-" means standard
/// output and the null device names discard everything; devices and pipes that already exist
/// are written in place.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  ///< removes the temporary file when the output was not committed

  /// Checks that `path` can be written and creates the temporary file. False, with
  /// `error` set, when it cannot.
  bool Open(const std::string& path, std::string& error);
  /// Writes `bytes` and puts the file in place. False, with `error` set, on a write
  /// error (disk full); the destination is then as it was, except that a file written in
  /// place may be left part new after an I/O error.
  bool Commit(std::string_view bytes, std::string& error);

 private:
  enum class Kind { None, File, InPlace, Device, StandardOutput, Discard };

  void Abandon();

  Kind kind_ = Kind::None;
  std::string path_;
  std::string temporaryPath_;
  platform::UniqueFile file_;
};

}  // namespace pexol
