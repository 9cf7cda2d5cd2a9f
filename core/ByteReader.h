// core/ByteReader.h - little-endian reads over a project held in memory
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pexol {

/// Walks a project file's bytes front to back. Past the end every read yields 0
/// and the reader remembers the offset where the data first ran short. A run asks
/// it to stop there instead (`StopAtEnd`), so a damaged file is never walked on.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  explicit ByteReader(std::string_view bytes)
      : bytes_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) {}

  /// From now on a read past the end throws `ProjectEndsEarly` instead of yielding 0.
  void StopAtEnd(bool stop = true) { stopAtEnd_ = stop; }

  /// One byte; 0 when no byte is left.
  std::uint8_t ReadByte() {
    if (offset_ < bytes_.size()) return bytes_[offset_++];
    RanShort();
    return 0;
  }
  /// b0 + b1 * 256.
  std::uint16_t ReadWord();
  /// b0 + b1 * 256 + b2 * 65536.
  std::uint32_t ReadTriple();
  /// Four bytes taken as a two's complement 32-bit value.
  std::int32_t ReadDword();
  /// `count` bytes; positions past the end read as 0. `count` must be small (a string
  /// length), since the result is allocated before the bytes are known to exist.
  std::string ReadChars(std::size_t count);
  /// A length byte, or 255 and a 16-bit length, then that many bytes.
  std::string ReadCountedString();
  /// Moves past `count` bytes without reading them one by one.
  void Skip(std::uint64_t count);

  /// The bytes from `from` up to the current position, for copying records unchanged.
  std::string_view BytesSince(std::size_t from) const;

  std::size_t Offset() const { return offset_; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - offset_; }
  /// True once any read wanted more bytes than the data holds.
  bool RanPastEnd() const { return ranPastEnd_; }

 private:
  void RanShort();

  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
  bool ranPastEnd_ = false;
  bool stopAtEnd_ = false;
};

}  // namespace pexol
