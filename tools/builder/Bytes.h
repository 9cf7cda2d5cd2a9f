// tools/builder/Bytes.h - raw little-endian byte writer for hand-made project bytes
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pexol::build {

/// Appends little-endian fields to `data`, one call per field, so expected bytes can be
/// written out by hand: Bytes{}.Word(0x0207).Dword(-1).Str("a.avi").
struct Bytes {
  std::string data;

  /// One byte.
  Bytes& Byte(std::uint8_t v);
  /// Two bytes, low first.
  Bytes& Word(std::uint16_t v);
  /// The low 24 bits of v, low byte first.
  Bytes& Triple(std::uint32_t v);
  /// Four bytes, low first.
  Bytes& Dword(std::uint32_t v);
  /// Four bytes, low first; negative values in two's complement.
  Bytes& Dword(std::int32_t v) { return Dword(static_cast<std::uint32_t>(v)); }
  /// A counted string: a length byte and the bytes when shorter than 255; otherwise the
  /// byte 255, a 16-bit length and the bytes (texts longer than 65535 bytes are cut).
  Bytes& Str(std::string_view text);
  /// The bytes as they are.
  Bytes& Raw(std::string_view bytes);
};

}  // namespace pexol::build
