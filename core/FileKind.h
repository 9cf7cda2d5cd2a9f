// core/FileKind.h - what a file's first bytes say it is, for a refusal that names it
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pexol {

/// What `bytes` look like in words, as the system's file-type database tells it ("JPEG image
/// data, JFIF standard 1.01", "ISO Media, MP4 v2", "XML 1.0 document, ASCII text"); empty when
/// they match no known kind, as a project's own bytes do. Never throws.
std::string DescribeFileKind(std::span<const std::uint8_t> bytes);

}  // namespace pexol
