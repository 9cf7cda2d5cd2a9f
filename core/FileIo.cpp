// core/FileIo.cpp - reading sources whole and replacing destinations atomically
#include "core/FileIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/TextScanner.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;
constexpr std::size_t blockSize = 1 << 20;

std::string Reason(int error) {
  return error != 0 ? std::strerror(error) : "unknown error";
}

using UniqueFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

UniqueFile OpenFile(const std::string& path, const char* mode) {
  return UniqueFile(std::fopen(path.c_str(), mode), &std::fclose);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::string& error) {
  std::error_code code;
  if (fs::is_directory(path, code)) {
    error = "it is a folder";
    return std::nullopt;
  }
  errno = 0;
  UniqueFile file = OpenFile(path, "rb");
  if (!file) {
    error = Reason(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  for (;;) {
    const std::size_t old = bytes.size();
    bytes.resize(old + blockSize);
    const std::size_t got = std::fread(bytes.data() + old, 1, blockSize, file.get());
    bytes.resize(old + got);
    if (got < blockSize) break;
  }
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
  return !IsNullDevice(a) && !IsNullDevice(b) && fs::equivalent(a, b, code);
}

OutputFile::~OutputFile() {
  Abandon();
}

void OutputFile::Abandon() {
  if (kind_ != Kind::File) return;
  file_.reset();
  std::error_code ignored;
  fs::remove(temporaryPath_, ignored);
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
  if (fs::is_directory(path, code)) {
    error = "it is a folder";
    return false;
  }
  // A link is followed, so that the file it names is replaced and the link stays.
  if (fs::is_symlink(fs::symlink_status(path, code)))
    path_ = fs::weakly_canonical(path, code).string();
  const fs::file_status status = fs::status(path, code);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // A device or pipe cannot be replaced by renaming; it is written in place.
    errno = 0;
    file_.reset(std::fopen(path.c_str(), "wb"));
    if (!file_) {
      error = Reason(errno);
      return false;
    }
    kind_ = Kind::Device;
    return true;
  }
  if (fs::exists(status)) {
    // An existing destination must be writable, as it would be if it were opened in place.
    errno = 0;
    if (!OpenFile(path, "ab")) {
      error = Reason(errno);
      return false;
    }
  }
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporaryPath_ = path_ + ".pexol-" + std::to_string(random() % 1000000000u) + ".tmp";
    errno = 0;
    file_.reset(std::fopen(temporaryPath_.c_str(), "wbx"));
    if (file_) {
      kind_ = Kind::File;
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = Reason(errno);
  return false;
}

bool OutputFile::Commit(std::string_view bytes, std::string& error) {
  if (kind_ == Kind::Discard) return true;
  std::FILE* out = kind_ == Kind::StandardOutput ? stdout : file_.get();
  if (out == nullptr) {
    error = "the file is not open";
    return false;
  }
  errno = 0;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  if (kind_ == Kind::StandardOutput || kind_ == Kind::Device) {
    if (!written) error = Reason(errno);
    if (kind_ == Kind::Device) file_.reset();
    return written;
  }
  const int writeError = errno;
  const bool closed = std::fclose(file_.release()) == 0;
  if (!written || !closed) {
    error = Reason(written ? errno : writeError);
    Abandon();
    return false;
  }
  std::error_code code;
  fs::rename(temporaryPath_, path_, code);
  if (code) {
    error = code.message();
    Abandon();
    return false;
  }
  kind_ = Kind::None;
  return true;
}

}  // namespace pexol
