// core/FileIo.cpp - reading sources whole and replacing destinations atomically
#include "core/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TemporaryFiles.h"
#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;
constexpr std::size_t blockSize = 1 << 20;

using platform::OpenFile;
using platform::PathOf;
using platform::UniqueFile;

std::string Reason(int error) {
  return platform::ErrorText(error);
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string& error) {
  platform::SourceKind kind = platform::SourceKind::Regular;
  int failure = 0;
  UniqueFile file = platform::OpenSource(path, kind, failure);
  if (kind == platform::SourceKind::Folder) {
    error = Tr("it is a folder");
    return std::nullopt;
  }
  if (kind == platform::SourceKind::Device) {
    error =
        Tr("it is a device, not a file; give a project file (or a pipe, such as "
           "<(zcat project.mpj.gz))");
    return std::nullopt;
  }
  if (!file) {
    error = Reason(failure);
    return std::nullopt;
  }
  const std::string tooLarge =
      Say("it holds more than {0} MiB, more than pexol reads (projects of real edits are a few "
          "MB)",
          maxSourceBytes >> 20);
  const std::uintmax_t size = platform::RegularFileSize(file.get()).value_or(0);
  if (size > maxSourceBytes) {
    error = tooLarge;
    return std::nullopt;
  }
  // The size is only a hint: a pipe has none and a file may grow while it is read, so one
  // more byte is asked for and anything beyond it read on in blocks, up to the cap.
  FileBytes bytes(static_cast<std::size_t>(size));
  std::size_t filled = std::fread(bytes.data(), 1, bytes.size(), file.get());
  for (int next; filled == bytes.size() && (next = std::fgetc(file.get())) != EOF;) {
    if (filled + 1 > maxSourceBytes) {
      error = tooLarge;
      return std::nullopt;
    }
    const std::size_t room = std::min<std::size_t>(blockSize, maxSourceBytes - filled - 1);
    bytes.resize(filled + 1 + room);
    bytes[filled++] = static_cast<std::uint8_t>(next);
    filled += std::fread(bytes.data() + filled, 1, room, file.get());
  }
  bytes.resize(filled);
  if (std::ferror(file.get())) {
    error = Reason(errno);
    return std::nullopt;
  }
  if (kind == platform::SourceKind::Pipe && filled == 0) {
    error = Tr("it is a pipe that nothing was written to");
    return std::nullopt;
  }
  return bytes;
}

bool IsNullDevice(std::string_view path) {
  return EqualsIgnoreCase(path, "nul") || path == "/dev/null";
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code code;
  return !IsNullDevice(a) && !IsNullDevice(b) && fs::equivalent(PathOf(a), PathOf(b), code);
}

namespace {

// Follows `path` through symbolic links to the file that would be written: the last link's
// target, whether or not it exists. False, with `error` set, for a loop (or a chain too long to
// be anything else).
bool FollowLinks(std::string& path, std::string& error) {
  std::error_code code;
  fs::path at = PathOf(path);
  for (int hops = 0; fs::is_symlink(fs::symlink_status(at, code)); ++hops) {
    if (hops == 40) {
      error = Tr("it is a symbolic link that leads round in a loop; make it name a file");
      return false;
    }
    const fs::path target = fs::read_symlink(at, code);
    if (code) {
      error = code.message();
      return false;
    }
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  path = platform::Utf8Of(at);
  return true;
}

}  // namespace

bool IsRegularDestination(const std::string& path) {
  if (path == "-" || path.empty() || IsNullDevice(path)) return false;
  std::error_code code;
  const fs::file_status status = fs::status(PathOf(path), code);
  return !fs::exists(status) || fs::is_regular_file(status);
}

OutputFile::~OutputFile() {
  Abandon();
}

void OutputFile::Abandon() {
  file_.reset();
  if (kind_ != Kind::File) return;
  std::error_code ignored;
  fs::remove(PathOf(temporaryPath_), ignored);
  ForgetTemporary(registration_);
  registration_ = -1;
  kind_ = Kind::None;
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  path_ = path;
  if (path == "-") {
    kind_ = Kind::StandardOutput;
    return true;
  }
  if (IsNullDevice(path)) {
    kind_ = Kind::Discard;
    return true;
  }
  std::error_code code;
  if (path.empty()) {
    error = Tr("no file name was given");
    return false;
  }
  if (fs::is_directory(PathOf(path), code)) {
    error = Tr("it is a folder");
    return false;
  }
  // A link is followed, so that the file it names is replaced (or made) and the link stays.
  if (!FollowLinks(path_, error)) return false;
  const fs::file_status status = fs::status(PathOf(path_), code);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // A device or pipe cannot be replaced by renaming; it is written in place.
    errno = 0;
    file_ = platform::OpenDevice(path_);
    if (!file_) {
      error =
          errno == ENXIO ? std::string(Tr("it is a pipe that nothing reads from")) : Reason(errno);
      return false;
    }
    kind_ = Kind::Device;
    return true;
  }
  const bool exists = fs::exists(status);
  const std::uintmax_t links = exists ? fs::hard_link_count(PathOf(path_), code) : 0;
  if (exists && !code && links > 1) {
    // A rename would part the names: the others would keep the old content.
    errno = 0;
    file_ = platform::OpenInPlace(path_);
    if (!file_) {
      error = Reason(errno);
      return false;
    }
    kind_ = Kind::InPlace;
    return true;
  }
  if (exists) {
    // An existing destination must be writable, as it would be if it were opened in place.
    errno = 0;
    if (!OpenFile(path_, "ab")) {
      error = Reason(errno);
      return false;
    }
  }
  RemoveStaleTemporaries(path_);
  int failure = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporaryPath_ = TemporaryPathFor(path_);
    // Noted before it exists, so that no moment passes in which an interrupt would leave it.
    registration_ = RegisterTemporary(temporaryPath_);
    file_ = platform::CreateReplacement(temporaryPath_, exists ? path_ : std::string(), failure);
    if (file_) {
      kind_ = Kind::File;
      return true;
    }
    ForgetTemporary(registration_);
    registration_ = -1;
    if (failure != EEXIST) break;
  }
  error = Reason(failure);
  return false;
}

bool OutputFile::Commit(std::string_view bytes, std::string& error) {
  if (kind_ != Kind::File) return WriteDirect(bytes, error);
  return Prepare(bytes, error) && Place(error);
}

bool OutputFile::Prepare(std::string_view bytes, std::string& error) {
  if (kind_ != Kind::File) {
    // Streams, devices and files written in place have no second copy to prepare.
    pending_.assign(bytes);
    prepared_ = true;
    return true;
  }
  std::FILE* out = file_.get();
  if (out == nullptr) {
    error = Tr("the file is not open");
    return false;
  }
  // The bytes reach the disk before the rename, and the rename before the run reports
  // success, so that after a crash the destination is the old file or the new one.
  errno = 0;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  const bool synced = written && platform::SyncFile(out);
  const int writeError = errno;
  const bool closed = std::fclose(file_.release()) == 0;
  if (!synced || !closed) {
    error = Reason(synced ? errno : writeError);
    Abandon();
    return false;
  }
  prepared_ = true;
  return true;
}

bool OutputFile::PrepareWritten(std::string& error) {
  std::FILE* out = file_.get();
  if (kind_ != Kind::File || out == nullptr) {
    error = Tr("the file is not open");
    return false;
  }
  // The writer opened the same file by its name; syncing this handle syncs what it wrote.
  errno = 0;
  const bool synced = platform::SyncFile(out);
  const int syncError = errno;
  const bool closed = std::fclose(file_.release()) == 0;
  if (!synced || !closed) {
    error = Reason(synced ? errno : syncError);
    Abandon();
    return false;
  }
  prepared_ = true;
  return true;
}

bool OutputFile::Place(std::string& error) {
  if (!prepared_) {
    error = Tr("the file was not written");
    return false;
  }
  prepared_ = false;
  // A run being ended for not stopping in time replaces nothing; one that is replacing its
  // destination is not ended before it has.
  const PlacingResults placing;
  if (!placing) {
    error = Tr("the run was stopped");
    Abandon();
    return false;
  }
  if (kind_ == Kind::File) {
    if (!platform::RenameOver(temporaryPath_, path_, error)) {
      Abandon();
      return false;
    }
    ForgetTemporary(registration_);
    registration_ = -1;
    platform::SyncFolderOf(path_);
    kind_ = Kind::None;
    return true;
  }
  const std::string bytes = std::move(pending_);
  return WriteDirect(bytes, error);
}

bool OutputFile::WriteDirect(std::string_view bytes, std::string& error) {
  if (kind_ == Kind::Discard) return true;
  std::FILE* out = kind_ == Kind::StandardOutput ? stdout : file_.get();
  if (out == nullptr) {
    error = Tr("the file is not open");
    return false;
  }
  if (kind_ == Kind::InPlace) {
    int failure = 0;
    const bool written = platform::RewriteInPlace(out, bytes, failure);
    errno = 0;
    const bool closed = std::fclose(file_.release()) == 0;
    kind_ = Kind::None;
    if (!written || !closed) error = Reason(written ? errno : failure);
    return written && closed;
  }
  errno = 0;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  if (!written) error = Reason(errno);
  if (kind_ == Kind::Device) file_.reset();
  return written;
}

}  // namespace pexol
