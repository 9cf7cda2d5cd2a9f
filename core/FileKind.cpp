// core/FileKind.cpp - what a run of bytes holds, in the few words a warning gives it
#include "core/FileKind.h"

#include <algorithm>

namespace pexol {

BytesLook LookOfBytes(std::span<const std::uint8_t> bytes) {
  if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }))
    return {BytesLook::Kind::Zeros, {}};
  if (std::string words = DescribeFileKind(bytes); !words.empty())
    return {BytesLook::Kind::Named, std::move(words)};
  // Bytes from 0x80 up are allowed: a Japanese text is Shift-JIS or UTF-8. DOS ended its texts
  // with Ctrl-Z.
  const auto textual = [](std::uint8_t b) {
    return (b >= 0x20 && b != 0x7F) || b == '\t' || b == '\n' || b == '\r' || b == '\f' ||
           b == 0x1A;
  };
  if (std::all_of(bytes.begin(), bytes.end(), textual)) return {BytesLook::Kind::Text, {}};
  return {BytesLook::Kind::Binary, {}};
}

}  // namespace pexol
