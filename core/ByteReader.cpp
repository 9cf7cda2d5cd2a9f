// core/ByteReader.cpp - little-endian reads with the end-of-data rule in one place
#include "core/ByteReader.h"

#include <algorithm>

#include "core/RunFailure.h"

namespace pexol {

void ByteReader::RanShort() {
  ranPastEnd_ = true;
  if (stopAtEnd_) throw ProjectEndsEarly(bytes_.size());
}

std::uint16_t ByteReader::ReadWord() {
  if (Remaining() >= 2) {
    const std::uint16_t value =
        static_cast<std::uint16_t>(bytes_[offset_] | bytes_[offset_ + 1] << 8);
    offset_ += 2;
    return value;
  }
  const std::uint16_t b0 = ReadByte();
  const std::uint16_t b1 = ReadByte();
  return static_cast<std::uint16_t>(b0 | b1 << 8);
}

std::uint32_t ByteReader::ReadTriple() {
  const std::uint32_t b0 = ReadByte();
  const std::uint32_t b1 = ReadByte();
  const std::uint32_t b2 = ReadByte();
  return b0 | b1 << 8 | b2 << 16;
}

std::int32_t ByteReader::ReadDword() {
  std::uint32_t value;
  if (Remaining() >= 4) {
    value = std::uint32_t{bytes_[offset_]} | std::uint32_t{bytes_[offset_ + 1]} << 8 |
            std::uint32_t{bytes_[offset_ + 2]} << 16 | std::uint32_t{bytes_[offset_ + 3]} << 24;
    offset_ += 4;
  } else {
    const std::uint32_t low = ReadWord();
    const std::uint32_t high = ReadWord();
    value = low | high << 16;
  }
  return static_cast<std::int32_t>(value);
}

std::string ByteReader::ReadChars(std::size_t count) {
  const std::size_t available = std::min(count, Remaining());
  std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_), available);
  offset_ += available;
  if (available < count) {
    RanShort();
    text.resize(count, '\0');
  }
  return text;
}

std::string ByteReader::ReadCountedString() {
  std::size_t length = ReadByte();
  if (length == 255) length = ReadWord();
  return ReadChars(length);
}

void ByteReader::Skip(std::uint64_t count) {
  if (count <= Remaining()) {
    offset_ += static_cast<std::size_t>(count);
    return;
  }
  offset_ = bytes_.size();
  RanShort();
}

std::string_view ByteReader::BytesSince(std::size_t from) const {
  from = std::min(from, offset_);
  return {reinterpret_cast<const char*>(bytes_.data() + from), offset_ - from};
}

}  // namespace pexol
