// sections/RecordWalk.h - the walkers that read and write a record from its one layout
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace pexol {

// A record layout is stated once, as a template `Walk...(Walker& w, Record& r)` that names
// each field in file order; `ReadWalker` fills the record from a project, `WriteWalker`
// writes it. Fields that nothing interprets are kept as views of their bytes (`Raw`), so a
// record written back is the record read.

/// Bytes of a block given by a byte count and padded to whole 32-bit words; none when the
/// count is 0 or negative.
inline std::uint64_t WordBlockBytes(std::int32_t byteCount) {
  return byteCount <= 0 ? 0 : (static_cast<std::uint64_t>(byteCount) + 3) / 4 * 4;
}

// A still or colour clip's in or out: 24 bits and a marker byte, 31 meaning negative.
constexpr std::uint32_t markerNegative = 31;
constexpr std::uint32_t markerPositive = 32;
constexpr std::int32_t markedRange = 0x1000000;

class ReadWalker {
 public:
  static constexpr bool reads = true;
  explicit ReadWalker(ByteReader& project) : project_(project) {}

  void Word(std::uint16_t& value) { value = project_.ReadWord(); }
  void Dword(std::int32_t& value) { value = project_.ReadDword(); }
  void Dword(std::uint32_t& value) { value = static_cast<std::uint32_t>(project_.ReadDword()); }
  void String(std::string& text) { text = project_.ReadCountedString(); }
  /// A title element's text: its 255 escape is read as the 16-bit length behind it.
  void ElementText(std::string& text) {
    std::size_t length = project_.ReadByte();
    if (length == 255) length = project_.ReadWord();
    text = project_.ReadChars(length);
  }
  /// `size` bytes that are kept as they are.
  void Raw(std::string_view& bytes, std::uint64_t size) {
    const std::size_t start = project_.Offset();
    project_.Skip(size);
    bytes = project_.BytesSince(start);
  }
  /// A counted string that is kept as its bytes, length included.
  void RawString(std::string_view& bytes) {
    const std::size_t start = project_.Offset();
    std::uint64_t length = project_.ReadByte();
    if (length == 255) length = project_.ReadWord();
    project_.Skip(length);
    bytes = project_.BytesSince(start);
  }
  void MarkedIn(std::int32_t& value) { value = ReadMarked(); }
  void MarkedOut(std::int32_t& value, std::int32_t) { value = ReadMarked(); }
  /// `count` items, each read before it is stored, so a damaged count sizes nothing.
  template <class Item, class WalkItem>
  void Items(std::vector<Item>& items, std::int64_t count, WalkItem walkItem) {
    items.clear();
    for (std::int64_t i = 0; i < count; ++i) {
      Item item;
      walkItem(item);
      items.push_back(std::move(item));
    }
  }
  ByteReader& Project() { return project_; }

 private:
  std::int32_t ReadMarked() {
    const auto value = static_cast<std::int32_t>(project_.ReadTriple());
    return project_.ReadByte() == markerNegative ? value - markedRange : value;
  }
  ByteReader& project_;
};

class WriteWalker {
 public:
  static constexpr bool reads = false;
  explicit WriteWalker(ByteWriter& out) : out_(out) {}

  void Word(std::uint16_t value) { out_.WriteWord(value); }
  void Dword(std::int32_t value) { out_.WriteDword(static_cast<std::uint32_t>(value)); }
  void Dword(std::uint32_t value) { out_.WriteDword(value); }
  void String(const std::string& text) { out_.WriteString(text); }
  void ElementText(const std::string& text) { out_.WriteString(text); }
  void Raw(std::string_view bytes, std::uint64_t) { out_.WriteText(bytes); }
  void RawString(std::string_view bytes) { out_.WriteText(bytes); }
  void MarkedIn(std::int32_t in) {
    if (in < 0) {
      out_.WriteTriple(static_cast<std::uint32_t>(in) + markedRange);
      out_.WriteByte(markerNegative);
    } else if (in > 0) {
      out_.WriteTriple(static_cast<std::uint32_t>(in));
      out_.WriteByte(markerPositive);
    } else {
      out_.WriteDword(0);
    }
  }
  // The form of out follows in: marker 32 only when in is not zero.
  void MarkedOut(std::int32_t outPoint, std::int32_t in) {
    if (outPoint < 0) {
      out_.WriteTriple(static_cast<std::uint32_t>(outPoint) + markedRange);
      out_.WriteByte(markerNegative);
    } else if (in != 0) {
      out_.WriteTriple(static_cast<std::uint32_t>(outPoint));
      out_.WriteByte(markerPositive);
    } else {
      out_.WriteDword(static_cast<std::uint32_t>(outPoint));
    }
  }
  template <class Item, class WalkItem>
  void Items(std::vector<Item>& items, std::int64_t, WalkItem walkItem) {
    for (Item& item : items) walkItem(item);
  }

 private:
  ByteWriter& out_;
};

/// The number of items of a list, as the walk writes it before them.
template <class Count = std::int32_t, class Item>
Count CountOf(const std::vector<Item>& items) {
  return static_cast<Count>(items.size());
}

}  // namespace pexol
