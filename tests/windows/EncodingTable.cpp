// tests/windows/EncodingTable.cpp - pexol-encoding-table: the Shift-JIS conversion of every
// one- and two-byte sequence and of every BMP character, one line each, so that two builds with
// different converters can be compared whole
#include <cstdio>
#include <string>

#include "core/PlatformConsole.h"
#include "core/TextEncoding.h"

namespace {

void PrintHex(std::string_view bytes) {
  for (const char byte : bytes) std::printf("%02X", static_cast<unsigned char>(byte));
}

void PrintDecoded(const std::string& bytes) {
  const pexol::DecodedName name = pexol::DecodeShiftJis(bytes);
  PrintHex(bytes);
  std::printf(name.valid ? " = " : " ! ");
  PrintHex(name.utf8);
  std::printf("\n");
}

std::string Utf8(unsigned code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  if (code < 0x800)
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
  return {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
          static_cast<char>(0x80 | (code & 0x3F))};
}

}  // namespace

int main() {
  const pexol::platform::ConsoleSession console;  // LF stays LF on Windows
  for (int first = 0; first < 0x100; ++first) {
    PrintDecoded(std::string(1, static_cast<char>(first)));
    if (first >= 0x80)
      for (int second = 0; second < 0x100; ++second)
        PrintDecoded({static_cast<char>(first), static_cast<char>(second)});
  }
  for (unsigned code = 0x80; code < 0x10000; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const auto bytes = pexol::EncodeShiftJis(Utf8(code));
    std::printf("U+%04X ", code);
    if (bytes) {
      PrintHex(*bytes);
    } else {
      std::printf("-");
    }
    std::printf("\n");
  }
  std::printf("emoji %s\n", pexol::EncodeShiftJis("\xF0\x9F\x8E\xA5") ? "encoded" : "-");
  return 0;
}
