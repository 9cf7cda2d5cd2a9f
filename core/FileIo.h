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

/// The most a source may hold: 256 MiB. A project's counts are 32-bit, but projects of real
/// edits are a few MB, and a file this large is a mistake (a disk image, a sparse file) that
/// would otherwise take the memory of the machine.
constexpr std::uintmax_t maxSourceBytes = std::uintmax_t{256} << 20;

/// The whole file, read at once when its size is known; a pipe (process substitution) is read
/// to its end. nullopt, with `error` set, when it cannot be opened or read (missing, a folder,
/// unreadable), is a device, is a pipe no one writes to, or holds more than `maxSourceBytes`;
/// a regular file that large is refused before it is read.
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string& error);

/// False for destinations beside which no other file can be made: "-", the null device and
/// existing devices and pipes (after following links).
bool IsRegularDestination(const std::string& path);

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
/// are written in place. A symbolic link is followed (a dangling one to the file it names,
/// which is created), so the link stays. The temporary file has a short hidden name (see
/// `TemporaryPathFor`) and is removed if the run is interrupted; those of killed runs are
/// removed by the next run that writes in the folder.
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

  /// The two halves of `Commit`, for a set of files replaced together: `Prepare` writes the
  /// bytes to the temporary file and puts them on the disk (nothing is replaced yet);
  /// `Place` renames it into place. Other kinds of destination are written by `Place`.
  bool Prepare(std::string_view bytes, std::string& error);
  bool Place(std::string& error);
  /// `Prepare` for a temporary file that another writer (an encoder) filled through its name:
  /// puts it on the disk. Only for a destination replaced by renaming.
  bool PrepareWritten(std::string& error);

  /// The temporary file that `Place` renames into place; empty for other kinds of destination.
  std::string TemporaryPath() const { return kind_ == Kind::File ? temporaryPath_ : std::string(); }

  /// The file written: the destination, or the file its link leads to.
  const std::string& Path() const { return path_; }
  /// True when `Place` replaces or creates a file by renaming (not in place, not a stream).
  bool Renames() const { return kind_ == Kind::File; }

 private:
  enum class Kind { None, File, InPlace, Device, StandardOutput, Discard };

  void Abandon();
  bool WriteDirect(std::string_view bytes, std::string& error);

  Kind kind_ = Kind::None;
  std::string path_;
  std::string temporaryPath_;
  int registration_ = -1;
  std::string pending_;  ///< bytes of a destination written by `Place` rather than `Prepare`
  bool prepared_ = false;
  platform::UniqueFile file_;
};

}  // namespace pexol
