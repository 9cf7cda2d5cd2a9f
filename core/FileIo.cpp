// core/FileIo.cpp - reading sources whole and replacing destinations atomically
#include "core/FileIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/TextScanner.h"

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
  std::error_code code;
  if (fs::is_directory(PathOf(path), code)) {
    error = "it is a folder";
    return std::nullopt;
  }
  errno = 0;
  UniqueFile file = OpenFile(path, "rb");
  if (!file) {
    error = Reason(errno);
    return std::nullopt;
  }
  // The size is only a hint: a pipe has none and a file may grow while it is read, so one
  // more byte is asked for and anything beyond it read on in blocks.
  FileBytes bytes(platform::RegularFileSize(file.get()).value_or(0));
  std::size_t filled = std::fread(bytes.data(), 1, bytes.size(), file.get());
  for (int next; filled == bytes.size() && (next = std::fgetc(file.get())) != EOF;) {
    bytes.resize(filled + 1 + blockSize);
    bytes[filled++] = static_cast<std::uint8_t>(next);
    filled += std::fread(bytes.data() + filled, 1, blockSize, file.get());
  }
  bytes.resize(filled);
  if (std::ferror(file.get())) {
    error = Reason(errno);
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

OutputFile::~OutputFile() {
  Abandon();
}

void OutputFile::Abandon() {
  file_.reset();
  if (kind_ != Kind::File) return;
  std::error_code ignored;
  fs::remove(PathOf(temporaryPath_), ignored);
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
    error = "no file name was given";
    return false;
  }
  if (fs::is_directory(PathOf(path), code)) {
    error = "it is a folder";
    return false;
  }
  // A link is followed, so that the file it names is replaced and the link stays.
  if (fs::is_symlink(fs::symlink_status(PathOf(path), code)))
    path_ = platform::Utf8Of(fs::weakly_canonical(PathOf(path), code));
  const fs::file_status status = fs::status(PathOf(path), code);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // A device or pipe cannot be replaced by renaming; it is written in place.
    errno = 0;
    file_ = OpenFile(path, "wb");
    if (!file_) {
      error = Reason(errno);
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
  std::random_device seed;
  std::mt19937 random(seed());
  int failure = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporaryPath_ = path_ + ".pexol-" + std::to_string(random() % 1000000000u) + ".tmp";
    file_ = platform::CreateReplacement(temporaryPath_, exists ? path_ : std::string(), failure);
    if (file_) {
      kind_ = Kind::File;
      return true;
    }
    if (failure != EEXIST) break;
  }
  error = Reason(failure);
  return false;
}

bool OutputFile::Commit(std::string_view bytes, std::string& error) {
  if (kind_ == Kind::Discard) return true;
  std::FILE* out = kind_ == Kind::StandardOutput ? stdout : file_.get();
  if (out == nullptr) {
    error = "the file is not open";
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
  if (kind_ == Kind::StandardOutput || kind_ == Kind::Device) {
    if (!written) error = Reason(errno);
    if (kind_ == Kind::Device) file_.reset();
    return written;
  }
  // The bytes reach the disk before the rename, and the rename before the run reports
  // success, so that after a crash the destination is the old file or the new one.
  const bool synced = written && platform::SyncFile(out);
  const int writeError = errno;
  const bool closed = std::fclose(file_.release()) == 0;
  if (!synced || !closed) {
    error = Reason(synced ? errno : writeError);
    Abandon();
    return false;
  }
  if (!platform::RenameOver(temporaryPath_, path_, error)) {
    Abandon();
    return false;
  }
  platform::SyncFolderOf(path_);
  kind_ = Kind::None;
  return true;
}

}  // namespace pexol
