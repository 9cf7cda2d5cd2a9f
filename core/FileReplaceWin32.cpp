// core/FileReplaceWin32.cpp - the Windows calls that replace a destination safely
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "core/FileReplace.h"
#include "core/PlatformPath.h"
#include "core/Translation.h"

namespace pexol::platform {

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
  if (HeldByAnotherProgram(error))
    return std::string(Tr("another program has the file open; close it there"));
  if (error == ERROR_ACCESS_DENIED)
    return std::string(Tr("access denied (the file is read-only or another program has it open)"));
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
  std::string message = length > 0 ? Utf8OfWide(std::wstring_view(text, length)) : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? Say("Windows error {0}", error) : message;
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
  // The C library's words, translated where the catalogue has them (see FileReplacePosix).
  return std::string(Tr(error != 0 ? std::string_view(std::strerror(error)) : "unknown error"));
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

UniqueFile OpenSource(const std::string& path, SourceKind& kind, int& error) {
  errno = 0;
  UniqueFile file = OpenFile(path, "rb");
  struct _stat64 status {};
  if (!file || _fstat64(_fileno(file.get()), &status) != 0) {
    error = errno != 0 ? errno : EIO;
    return nullptr;
  }
  const auto type = status.st_mode & _S_IFMT;
  kind = type == _S_IFDIR   ? SourceKind::Folder
         : type == _S_IFCHR ? SourceKind::Device
         : type == _S_IFREG ? SourceKind::Regular
                            : SourceKind::Pipe;
  if (kind == SourceKind::Folder || kind == SourceKind::Device) return nullptr;
  return file;
}

UniqueFile OpenDevice(const std::string& path) {
  return OpenFile(path, "wb");
}

struct FolderLock::Held {};

FolderLock::FolderLock(const std::string&) {}
FolderLock::~FolderLock() = default;

}  // namespace pexol::platform
