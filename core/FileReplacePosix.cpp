// core/FileReplacePosix.cpp - the POSIX calls that replace a destination safely
#include "core/FileReplace.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

#include "core/Translation.h"

namespace pexol::platform {

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

namespace {

// The system's words for the failures a run meets most, marked so that a catalogue translates
// them where they are shown; any other reason stays as the system says it.
[[maybe_unused]] constexpr std::string_view commonReasons[] = {
    ToTranslate("No such file or directory"), ToTranslate("Permission denied"),
    ToTranslate("No space left on device"),   ToTranslate("Read-only file system"),
    ToTranslate("Not a directory"),           ToTranslate("Is a directory"),
    ToTranslate("File name too long"),        ToTranslate("Disk quota exceeded"),
    ToTranslate("Input/output error"),        ToTranslate("Operation not permitted"),
    ToTranslate("Too many open files"),       ToTranslate("File too large"),
};

}  // namespace

std::string ErrorText(int error) {
  return std::string(Tr(error != 0 ? std::string_view(std::strerror(error)) : "unknown error"));
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

UniqueFile OpenSource(const std::string& path, SourceKind& kind, int& error) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0) {
    error = errno;
    return nullptr;
  }
  kind = S_ISDIR(status.st_mode)                              ? SourceKind::Folder
         : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? SourceKind::Device
         : S_ISREG(status.st_mode)                            ? SourceKind::Regular
                                                              : SourceKind::Pipe;
  if (kind == SourceKind::Folder || kind == SourceKind::Device) return nullptr;
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = errno;
    return nullptr;
  }
  UniqueFile file = AsStream(fd, "rb");
  if (!file) error = errno;
  return file;
}

UniqueFile OpenDevice(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return nullptr;
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
  return AsStream(fd, "wb");
}

struct FolderLock::Held {
  int folder = -1;
  sigset_t savedMask{};
};

FolderLock::FolderLock(const std::string& path) : held_(std::make_unique<Held>()) {
  sigset_t stop;
  ::sigemptyset(&stop);
  ::sigaddset(&stop, SIGINT);
  ::sigaddset(&stop, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &stop, &held_->savedMask);
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  held_->folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (held_->folder < 0) return;
  while (::flock(held_->folder, LOCK_EX) != 0 && errno == EINTR) {
  }
}

// Closing the last descriptor of the folder releases the lock; then the signals come.
FolderLock::~FolderLock() {
  if (held_->folder >= 0) ::close(held_->folder);
  ::pthread_sigmask(SIG_SETMASK, &held_->savedMask, nullptr);
}

}  // namespace pexol::platform
