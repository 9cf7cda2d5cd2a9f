// collect/FileDigest.cpp - the digest's text, the same whichever library computed it
#include "collect/FileDigest.h"

namespace pexol {

std::string HexOf(const unsigned char* bytes, std::size_t size) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

}  // namespace pexol
