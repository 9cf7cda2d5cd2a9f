// collect/CopyVerified.cpp - buffered copies hashed on the way in and read back to be checked
#include "collect/CopyVerified.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "collect/FileDigest.h"
#include "core/FileReplace.h"
#include "core/PlatformPath.h"
#include "core/RunFailure.h"
#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t pieceBytes = std::size_t{1} << 20;

// The digest and size of a whole file read in pieces; nullopt with `error` when unreadable.
// Throws `RunStopped` when `stop` says so between pieces: a large copy takes seconds to read
// back.
std::optional<std::pair<std::uintmax_t, std::string>> DigestOf(const std::string& path,
                                                               std::vector<unsigned char>& buffer,
                                                               const std::function<bool()>& stop,
                                                               std::string& error) {
  const platform::UniqueFile in = platform::OpenFile(path, "rb");
  if (!in) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot read \"{0}\" back: {1}", Utf8PathName(path), reason);
    return std::nullopt;
  }
  Sha256 digest;
  std::uintmax_t total = 0;
  while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get())) {
    if (stop && stop()) throw RunStopped();
    digest.Add(buffer.data(), got);
    total += got;
  }
  if (std::ferror(in.get()) != 0) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot read \"{0}\" back: {1}", Utf8PathName(path), reason);
    return std::nullopt;
  }
  return std::pair{total, digest.HexDigest()};
}

std::optional<CopiedFile> LinkIfAllowed(const std::string& source, const std::string& destination,
                                        std::uintmax_t expectedBytes) {
  std::error_code code;
  fs::create_hard_link(platform::PathOf(source), platform::PathOf(destination), code);
  if (code) return std::nullopt;  // another file system, or one without links: copy instead
  const std::uintmax_t size = fs::file_size(platform::PathOf(destination), code);
  if (code || size != expectedBytes) {
    fs::remove(platform::PathOf(destination), code);
    return std::nullopt;
  }
  return CopiedFile{size, {}, true};
}

}  // namespace

std::optional<CopiedFile> CopyVerified(const std::string& source, const std::string& destination,
                                       bool link, std::uintmax_t expectedBytes,
                                       const std::function<void(std::uintmax_t)>& copied,
                                       const std::function<bool()>& stop, std::string& error) {
  if (link) {
    if (auto linked = LinkIfAllowed(source, destination, expectedBytes)) {
      copied(linked->bytes);
      return linked;
    }
  }
  const platform::UniqueFile in = platform::OpenFile(source, "rb");
  if (!in) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot read \"{0}\": {1}", Utf8PathName(source), reason);
    return std::nullopt;
  }
  int createError = 0;
  platform::UniqueFile out = platform::CreateReplacement(destination, {}, createError);
  if (!out) {
    const std::string reason = SystemReason(createError);
    error = Say("cannot create \"{0}\": {1}", Utf8PathName(destination), reason);
    return std::nullopt;
  }
  std::vector<unsigned char> buffer(pieceBytes);
  Sha256 digest;
  std::uintmax_t total = 0;
  while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get())) {
    if (stop && stop()) throw RunStopped();
    digest.Add(buffer.data(), got);
    if (std::fwrite(buffer.data(), 1, got, out.get()) != got) {
      const std::string reason = SystemReason(errno);
      error = Say("cannot write \"{0}\": {1}", Utf8PathName(destination), reason);
      return std::nullopt;
    }
    total += got;
    copied(got);
  }
  if (std::ferror(in.get()) != 0) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot read \"{0}\": {1}", Utf8PathName(source), reason);
    return std::nullopt;
  }
  if (std::fflush(out.get()) != 0 || !platform::SyncFile(out.get())) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot write \"{0}\": {1}", Utf8PathName(destination), reason);
    return std::nullopt;
  }
  if (std::fclose(out.release()) != 0) {
    const std::string reason = SystemReason(errno);
    error = Say("cannot write \"{0}\": {1}", Utf8PathName(destination), reason);
    return std::nullopt;
  }
  if (total != expectedBytes) {
    error = SayN(total,
                 "\"{0}\" held {1} byte when copied, not the {2} it had when the collect began; "
                 "it changed meanwhile",
                 "\"{0}\" held {1} bytes when copied, not the {2} it had when the collect began; "
                 "it changed meanwhile",
                 Utf8PathName(source), total, expectedBytes);
    return std::nullopt;
  }
  const std::string sourceDigest = digest.HexDigest();
  const auto copy = DigestOf(destination, buffer, stop, error);
  if (!copy) return std::nullopt;
  if (copy->first != total || copy->second != sourceDigest) {
    error =
        SayN(total, "the copy \"{0}\" differs from \"{1}\" ({2} of {3} byte, SHA-256 {4} not {5})",
             "the copy \"{0}\" differs from \"{1}\" ({2} of {3} bytes, SHA-256 {4} not {5})",
             Utf8PathName(destination), Utf8PathName(source), copy->first, total, copy->second,
             sourceDigest);
    return std::nullopt;
  }
  std::error_code ignored;  // an editor that relinks by date finds the same file
  fs::last_write_time(platform::PathOf(destination),
                      fs::last_write_time(platform::PathOf(source), ignored), ignored);
  return CopiedFile{total, sourceDigest, false};
}

}  // namespace pexol
