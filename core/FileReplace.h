// core/FileReplace.h - the system calls behind replacing a destination without losing it
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pexol::platform {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

/// Opens the file named by UTF-8 `path` with an fopen mode. Null, with errno set, when it cannot
/// be opened.
UniqueFile OpenFile(const std::string& path, const char* mode);

/// The text for an errno value left by the calls here. On Windows a file that another program
/// holds open is told apart from one the user may not write, which errno alone cannot do.
std::string ErrorText(int error);

/// Renames `from` over `to`, on the disk before it returns. False, with `error` set to a
/// message, when it cannot; on Windows that is also when another program holds `to` open.
bool RenameOver(const std::string& from, const std::string& to, std::string& error);

/// Creates `path`, which must not exist yet, for writing. When `replaced` names an existing
/// regular file, the new file takes its permission bits, and its owner and group where the
/// process may set them; otherwise it gets the mode the umask gives. Null, with `error` set to
/// the system's error number (EEXIST when the name is taken), when it cannot be created.
UniqueFile CreateReplacement(const std::string& path, const std::string& replaced, int& error);

/// Puts the file's written bytes on the disk. False, with errno set, when they cannot be.
bool SyncFile(std::FILE* file);

/// Puts the folder holding `path` on the disk, so that a rename into it survives a crash.
void SyncFolderOf(const std::string& path);

/// Opens the existing regular file `path` for writing without truncating it. Null, with
/// errno set, when it cannot be opened.
UniqueFile OpenInPlace(const std::string& path);

/// Replaces the content of `file` (from `OpenInPlace`) with `bytes` and puts it on the disk.
/// False, with `error` set to the system's error number, when it cannot.
bool RewriteInPlace(std::FILE* file, std::string_view bytes, int& error);

/// The size of an open regular file; nullopt for pipes, devices and where it is not known.
std::optional<std::uintmax_t> RegularFileSize(std::FILE* file);

/// What a source turned out to be when opened.
enum class SourceKind { Regular, Pipe, Device, Folder };

/// Opens the source `path` for reading without waiting for a writer (a FIFO that no one has
/// open would hold `open` for ever), then reads it blocking as usual. Folders and devices are
/// reported by `kind` and not opened. Null, with `error` set to the system's error number, when
/// it cannot be opened.
UniqueFile OpenSource(const std::string& path, SourceKind& kind, int& error);

/// Opens the existing device or pipe `path` for writing without waiting for a reader (ENXIO
/// when a FIFO has none). Null, with errno set, when it cannot be opened.
UniqueFile OpenDevice(const std::string& path);

/// An advisory lock on the folder that holds `path`, held while the object lives, so that two
/// runs replacing files there do it one after the other. The folder is locked rather than the
/// file because a rename puts a new file under the name. Without effect where the folder cannot
/// be opened or the system has no such locks (Windows, where files in use are not renamed over).
/// While it is held, SIGINT and SIGTERM wait, so that an interrupt never splits a set of files
/// being renamed into place; they arrive when it is released.
class FolderLock {
 public:
  explicit FolderLock(const std::string& path);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  struct Held;  ///< the system's part: the folder's descriptor and the signal mask before
  std::unique_ptr<Held> held_;
};

}  // namespace pexol::platform
