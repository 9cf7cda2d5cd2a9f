// core/TextEncodingWin32.cpp - code page 932 through Windows' own converter
#include <windows.h>

#include <string>

#include "core/PlatformPath.h"
#include "core/TextEncodingBackend.h"

namespace pexol::detail {

namespace {

constexpr const char* replacement = "\xEF\xBF\xBD";

bool IsLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrail(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// Windows maps 80, A0 and FD-FF to controls and private characters that no name holds; the
// Linux build refuses them, and both builds must read a project alike.
bool IsSingle(unsigned char byte) {
  return byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF);
}

// One character's bytes in UTF-8; empty when the code page does not hold them.
std::string DecodeCharacter(const char* bytes, int size) {
  wchar_t unit = 0;
  if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, size, &unit, 1) != 1) return {};
  return platform::Utf8OfWide(std::wstring_view(&unit, 1));
}

}  // namespace

DecodedName DecodeCodePage932(std::string_view bytes) {
  DecodedName result;
  result.utf8.reserve(bytes.size() * 3 / 2);
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < 0x80) {
      result.utf8 += static_cast<char>(byte);
      ++at;
      continue;
    }
    // A lead byte followed by no trail byte stands alone, and the byte after it starts the
    // next character: it may be ASCII, a path separator among them.
    const bool pair =
        IsLead(byte) && at + 1 < bytes.size() && IsTrail(static_cast<unsigned char>(bytes[at + 1]));
    const std::size_t size = pair ? 2 : 1;
    std::string character;
    if (pair || IsSingle(byte))
      character = DecodeCharacter(bytes.data() + at, static_cast<int>(size));
    if (character.empty()) {
      result.valid = false;
      character = replacement;
    }
    result.utf8 += character;
    at += size;
  }
  return result;
}

std::optional<std::string> EncodeCodePage932(std::string_view utf8) {
  const std::wstring wide = platform::WideOf(utf8);
  if (wide.empty()) return std::string();
  const int units = static_cast<int>(wide.size());
  std::string bytes(wide.size() * 2, '\0');
  // No best fit: a typed ¥ would otherwise become 5C, a path separator, and name another file.
  BOOL usedDefault = FALSE;
  const int written =
      WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), units, bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, &usedDefault);
  if (written <= 0 || usedDefault) return std::nullopt;
  // Windows also encodes the characters of 80, A0 and FD-FF, which decoding refuses;
  // EncodeShiftJis refuses whatever does not read back.
  bytes.resize(static_cast<std::size_t>(written));
  return bytes;
}

}  // namespace pexol::detail
