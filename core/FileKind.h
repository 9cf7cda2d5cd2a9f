// core/FileKind.h - what a file's bytes say it is, for a refusal or a warning that names it
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pexol {

/// What `bytes` look like in words, as the system's file-type database tells it ("JPEG image
/// data, JFIF standard 1.01", "ISO Media, MP4 v2", "XML 1.0 document, ASCII text"), else as the
/// signatures of core/FileSignatures word it; empty when they match no known kind, as a
/// project's own bytes do. Never throws.
std::string DescribeFileKind(std::span<const std::uint8_t> bytes);

/// What a run of bytes (those a project left unread) holds.
struct BytesLook {
  enum class Kind {
    Zeros,   ///< nothing but zero bytes
    Named,   ///< a known kind, `words` naming it
    Text,    ///< no control bytes but line ends and tabs
    Binary,  ///< anything else
  };
  Kind kind = Kind::Binary;
  std::string words;  ///< `DescribeFileKind`'s, for `Named`
};

/// What `bytes` look like; never throws.
BytesLook LookOfBytes(std::span<const std::uint8_t> bytes);

}  // namespace pexol
