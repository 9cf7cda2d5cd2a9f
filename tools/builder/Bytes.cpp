// tools/builder/Bytes.cpp - raw little-endian byte writer
#include "tools/builder/Bytes.h"

#include <algorithm>

namespace pexol::build {

Bytes& Bytes::Byte(std::uint8_t v) {
  data.push_back(static_cast<char>(v));
  return *this;
}

Bytes& Bytes::Word(std::uint16_t v) {
  Byte(static_cast<std::uint8_t>(v & 0xFF));
  return Byte(static_cast<std::uint8_t>(v >> 8));
}

Bytes& Bytes::Triple(std::uint32_t v) {
  Word(static_cast<std::uint16_t>(v & 0xFFFF));
  return Byte(static_cast<std::uint8_t>((v >> 16) & 0xFF));
}

Bytes& Bytes::Dword(std::uint32_t v) {
  Word(static_cast<std::uint16_t>(v & 0xFFFF));
  return Word(static_cast<std::uint16_t>(v >> 16));
}

Bytes& Bytes::Str(std::string_view text) {
  if (text.size() < 255) return Byte(static_cast<std::uint8_t>(text.size())).Raw(text);
  const std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
  return Byte(255).Word(static_cast<std::uint16_t>(length)).Raw(text.substr(0, length));
}

Bytes& Bytes::Raw(std::string_view bytes) {
  data.append(bytes);
  return *this;
}

}  // namespace pexol::build
