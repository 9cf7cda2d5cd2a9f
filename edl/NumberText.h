// edl/NumberText.h - printf-style integer fields ("%03d", "%6d") appended without a format parser
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace pexol::detail {

/// Appends `value` zero-filled to at least `width` characters, the sign first, as "%0*d" does.
inline void AppendZeroPadded(std::string& text, std::int64_t value, int width) {
  if (width == 2 && value >= 0 && value < 100) {  // every clock field of a sane timecode
    const char pair[2] = {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
    text.append(pair, 2);
    return;
  }
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const char* first = digits;
  if (*first == '-') text += *first++;
  const auto length = end - digits;
  if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
  text.append(first, static_cast<std::size_t>(end - first));
}

/// Appends `value` right-aligned in at least `width` characters, as "%*d" does.
inline void AppendSpacePadded(std::string& text, std::int64_t value, int width) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = end - digits;
  if (length < width) text.append(static_cast<std::size_t>(width - length), ' ');
  text.append(digits, end);
}

}  // namespace pexol::detail
