// core/FileReplace.cpp - the POSIX and the Windows calls that replace a destination safely
#include "core/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "core/PlatformPath.h"
#endif

namespace pexol::platform {

#ifndef _WIN32

namespace {

// A file descriptor, closed when it goes out of scope unless handed on.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The stream takes the descriptor over when it can be made; otherwise `fd` still closes it.
UniqueFile AsStream(UniqueFd& fd, const char* mode) {
  UniqueFile file(::fdopen(fd.Get(), mode));
  if (file) fd.Release();
  return file;
}

// Gives the new file `fd` the owner, group and permission bits of `original`. False, with
// errno set, when the bits cannot be set.
bool CopyAttributes(int fd, const struct stat& original) {
  // Only the superuser may give a file away; anyone may choose a group they are in. When
  // neither works the file keeps the user's own, which the bits below allow for.
  if (::fchown(fd, original.st_uid, original.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), original.st_gid) != 0) {
  }
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  // Rights meant for another owner or group are not handed to this one: set-id bits are
  // dropped, and a group that could not be kept gets no more than everyone else.
  mode_t mode = original.st_mode & 07777;
  if (now.st_uid != original.st_uid) mode &= ~S_ISUID;
  if (now.st_gid != original.st_gid) mode = (mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3);
  return ::fchmod(fd, mode) == 0;
}

}  // namespace

UniqueFile OpenFile(const std::string& path, const char* mode) {
  return UniqueFile(std::fopen(path.c_str(), mode));
}

std::string ErrorText(int error) {
  return error != 0 ? std::strerror(error) : "unknown error";
}

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
  std::error_code code;
  std::filesystem::rename(from, to, code);
  if (code) error = code.message();
  return !code;
}

UniqueFile CreateReplacement(const std::string& path, const std::string& replaced, int& error) {
  struct stat original {};
  const bool copies =
      !replaced.empty() && ::stat(replaced.c_str(), &original) == 0 && S_ISREG(original.st_mode);
  // Until it has the replaced file's owner and bits, only the user may read what goes in.
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, copies ? 0600 : 0666));
  if (fd.Get() < 0) {
    error = errno;
    return nullptr;
  }
  UniqueFile file;
  if (!copies || CopyAttributes(fd.Get(), original)) file = AsStream(fd, "wb");
  if (!file) {
    error = errno;
    ::unlink(path.c_str());
  }
  return file;
}

bool SyncFile(std::FILE* file) {
  return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

void SyncFolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // The new file is in place whatever this says, so a failure is not the run's failure; it
  // only leaves the rename to the system's next write-back.
  if (fd.Get() >= 0) ::fsync(fd.Get());
}

UniqueFile OpenInPlace(const std::string& path) {
  // Read access lets the system reserve space on file systems where that is done by hand.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.Get() >= 0) return AsStream(fd, "r+b");
  if (errno != EACCES) return nullptr;
  UniqueFd writeOnly(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
  if (writeOnly.Get() < 0) return nullptr;
  return AsStream(writeOnly, "wb");
}

bool RewriteInPlace(std::FILE* file, std::string_view bytes, int& error) {
  const int fd = ::fileno(file);
  struct stat old {};
  if (::fstat(fd, &old) != 0) {
    error = errno;
    return false;
  }
  // The blocks are claimed before the old content is touched, so a full disk, a quota or a
  // size limit fails the run while the file is still whole. What remains: an I/O error, or a
  // copy-on-write file system running out of room, while writing, or a crash before the sync,
  // leaves the file part new and part old. Every name of the file sees the new content only
  // because it is written over; that is the price.
  const auto size = static_cast<off_t>(bytes.size());
  if (size > 0) {
    const int reserved = ::posix_fallocate(fd, 0, size);
    // A file system that cannot reserve (or a write-only file where the reservation would be
    // made by hand) is written without it.
    if (reserved != 0 && reserved != EINVAL && reserved != EOPNOTSUPP && reserved != EBADF) {
      // A reservation cut short may have lengthened the file.
      if (::ftruncate(fd, old.st_size) != 0) {
      }
      error = reserved;
      return false;
    }
  }
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t wrote =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      error = wrote < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  // Cut to length only after writing, so that the file is never seen empty.
  if (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0) {
    error = errno;
    return false;
  }
  return true;
}

std::optional<std::uintmax_t> RegularFileSize(std::FILE* file) {
  struct stat status {};
  if (::fstat(::fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uintmax_t>(status.st_size);
}

#else

// Windows has no owners and modes to copy, and its hard link counts read as 1, so a destination
// is always replaced by renaming. Names are UTF-8 inside pexol and UTF-16 at every call here.

namespace {

bool HeldByAnotherProgram(unsigned long error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The CRT's errno for a Windows error; the Windows error stays in _doserrno for ErrorText.
int ErrnoOf(unsigned long error) {
  _doserrno = error;
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

std::string WindowsErrorText(unsigned long error) {
  if (HeldByAnotherProgram(error)) return "another program has the file open; close it there";
  if (error == ERROR_ACCESS_DENIED)
    return "access denied (the file is read-only or another program has it open)";
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
  std::string message = length > 0 ? Utf8OfWide(std::wstring_view(text, length)) : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "Windows error " + std::to_string(error) : message;
}

HANDLE HandleOf(std::FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

UniqueFile OpenFile(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return UniqueFile(_wfopen(WideOf(path).c_str(), wideMode.c_str()));
}

std::string ErrorText(int error) {
  // _wfopen reports a file held open elsewhere as EACCES, like a read-only one.
  if (error == EACCES && HeldByAnotherProgram(_doserrno)) return WindowsErrorText(_doserrno);
  return error != 0 ? std::strerror(error) : "unknown error";
}

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
  // Write-through: the rename is on the disk before the run reports success.
  if (MoveFileExW(WideOf(from).c_str(), WideOf(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  error = WindowsErrorText(GetLastError());
  return false;
}

UniqueFile CreateReplacement(const std::string& path, const std::string&, int& error) {
  // Nobody else may open the file while it is being written; CREATE_NEW fails on a taken name.
  const HANDLE handle = CreateFileW(WideOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = ErrnoOf(GetLastError());
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    error = errno;
    CloseHandle(handle);
    DeleteFileW(WideOf(path).c_str());
    return nullptr;
  }
  UniqueFile file(_fdopen(fd, "wb"));
  if (!file) {
    error = errno;
    _close(fd);
    DeleteFileW(WideOf(path).c_str());
  }
  return file;
}

bool SyncFile(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  if (FlushFileBuffers(HandleOf(file))) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

void SyncFolderOf(const std::string&) {}  // MOVEFILE_WRITE_THROUGH has put the rename on the disk

UniqueFile OpenInPlace(const std::string& path) {
  return OpenFile(path, "r+b");
}

bool RewriteInPlace(std::FILE* file, std::string_view bytes, int& error) {
  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                       std::fflush(file) == 0 &&
                       _chsize_s(_fileno(file), static_cast<long long>(bytes.size())) == 0 &&
                       FlushFileBuffers(HandleOf(file));
  if (!written) error = errno != 0 ? errno : EIO;
  return written;
}

std::optional<std::uintmax_t> RegularFileSize(std::FILE* file) {
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG)
    return std::nullopt;
  return static_cast<std::uintmax_t>(status.st_size);
}

#endif

}  // namespace pexol::platform
