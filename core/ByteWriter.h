// core/ByteWriter.h - little-endian writes and text into an in-memory buffer
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pexol {

/// Builds a destination file in memory; the run frame writes it out once, at the end.
class ByteWriter {
 public:
  /// The low 8 bits of v.
  void WriteByte(std::uint32_t v) { bytes_.push_back(static_cast<char>(v & 0xFF)); }
  /// v & 0xFF, then (v >> 8) & 0xFF.
  void WriteWord(std::uint32_t v) {
    WriteByte(v);
    WriteByte(v >> 8);
  }
  /// The low 24 bits of v.
  void WriteTriple(std::uint32_t v) {
    WriteWord(v & 0xFFFF);
    WriteByte(v >> 16);
  }
  /// All 32 bits of v, low byte first.
  void WriteDword(std::uint32_t v) {
    WriteWord(v & 0xFFFF);
    WriteWord(v >> 16);
  }
  /// Empty: the byte 0; 1 to 254 bytes: a length byte and the bytes; longer: the byte
  /// 255, a 16-bit length and the bytes. Callers keep texts within 65535 bytes.
  void WriteString(std::string_view text);
  /// The bytes as they are: no terminator, no line end.
  void WriteText(std::string_view text) { bytes_.append(text); }

  /// Makes room for `size` bytes, so that a destination sized from its input grows once.
  void Reserve(std::size_t size) { bytes_.reserve(size); }
  const std::string& Bytes() const { return bytes_; }
  std::string TakeBytes() { return std::move(bytes_); }
  std::size_t Size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};

/// The longest text a counted string can hold.
constexpr std::size_t maxCountedStringLength = 65535;

}  // namespace pexol
