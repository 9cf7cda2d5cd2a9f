// render/ConvertedStills.cpp - a still's PNG named by what the file is, written once under a lock
#include "render/ConvertedStills.h"

extern "C" {
#include <libavutil/log.h>
}

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "media/PathText.h"
#include "render/RenderSteps.h"
#include "transcode/TranscodeParts.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

// The PNG's name: the same in every process of a render, on any machine that mounts the
// folders at the same paths, for the file as it is now: its real path, size and time of change,
// hashed (FNV-1a). nullopt when the file cannot be looked at.
std::optional<std::string> StillName(const std::string& path) {
  std::error_code code;
  const fs::path real = fs::canonical(PathOfUtf8(path), code);
  if (code) return std::nullopt;
  const std::uintmax_t size = fs::file_size(real, code);
  if (code) return std::nullopt;
  const auto changed = fs::last_write_time(real, code);
  if (code) return std::nullopt;
  const std::string identity = Utf8OfPath(real) + '\0' + std::to_string(size) + '\0' +
                               std::to_string(changed.time_since_epoch().count());
  std::uint64_t hash = 14695981039346656037u;
  for (const char c : identity) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211u;
  }
  char name[40];
  std::snprintf(name, sizeof name, "%.*s%016" PRIx64 ".png",
                static_cast<int>(sharedStillPrefix.size()), sharedStillPrefix.data(), hash);
  return name;
}

// An exclusive lock on a file beside the PNG, held while it lives: the processes of a render
// convert a still one at a time, and the later ones find it made. Where the file system locks
// nothing, each converts it on its own, and the rename keeps every reader from a partial file.
class StillLock {
 public:
  explicit StillLock(const fs::path& path)
      : file_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (file_ < 0) return;
    while (::flock(file_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~StillLock() {
    if (file_ >= 0) ::close(file_);  // which releases the lock
  }
  StillLock(const StillLock&) = delete;
  StillLock& operator=(const StillLock&) = delete;

 private:
  int file_;
};

// Writes `bytes` as `png` through a file of this process beside it, renamed into place.
bool WritePng(const fs::path& png, const std::string& bytes, std::string& why) {
  fs::path part = png;
  part += ".part-" + std::to_string(::getpid());
  const std::string partText = Utf8OfPath(part);
  const int registration = RegisterTemporary(partText);
  std::error_code code;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) code = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
  }
  if (!code) fs::rename(part, png, code);
  if (code) {
    std::error_code ignored;
    fs::remove(part, ignored);
    why = Say("the PNG {0} could not be written: {1}", Utf8OfPath(png), code.message());
  }
  ForgetTemporary(registration);
  return !code;
}

}  // namespace

std::optional<std::string> ConvertedStills::PngOf(const std::string& path, std::string& why) {
  why.clear();
  const auto name = StillName(path);
  if (!name) return std::nullopt;
  const auto done = converted_.find(*name);
  if (done != converted_.end()) return done->second;
  auto png = Convert(path, *name, why);
  // A failure to write is not kept: it names this process's trouble, not the still.
  if (png || why.empty()) converted_[*name] = png;
  return png;
}

std::optional<std::string> ConvertedStills::Convert(const std::string& path,
                                                    const std::string& name, std::string& why) {
  std::optional<StillLock> lock;
  fs::path png;
  if (shared_.empty()) {
    const auto folder = own_.Path(why);
    if (!folder) return std::nullopt;
    png = *folder / name;
  } else {
    const fs::path folder = PathOfUtf8(shared_);
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
      why = Say("the folder {0} could not be made: {1}", shared_, code.message());
      return std::nullopt;
    }
    png = folder / name;
    fs::path lockFile = png;
    lockFile.replace_extension(".lock");
    lock.emplace(lockFile);
    // Another process of the render converted it first.
    if (fs::file_size(png, code) > 0 && !code) return Utf8OfPath(png);
  }
  // FFmpeg's notes on the file would only mix into the progress; a failure is said by the
  // render's list of media that do not decode.
  av_log_set_level(AV_LOG_QUIET);
  std::string bytes;
  try {
    bytes = detail::StillAsPng(path);
  } catch (const detail::TranscodeFailure&) {
    return std::nullopt;
  }
  if (!WritePng(png, bytes, why)) return std::nullopt;
  return Utf8OfPath(png);
}

}  // namespace pexol
