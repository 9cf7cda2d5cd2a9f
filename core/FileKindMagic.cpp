// core/FileKindMagic.cpp - file kinds from libmagic, the database file(1) reads
#include <magic.h>

#include <memory>
#include <string_view>

#include "core/FileKind.h"

namespace pexol {

std::string DescribeFileKind(std::span<const std::uint8_t> bytes) {
  const std::unique_ptr<std::remove_pointer_t<magic_t>, void (*)(magic_t)> cookie(
      magic_open(MAGIC_NONE | MAGIC_ERROR), &magic_close);
  if (!cookie || magic_load(cookie.get(), nullptr) != 0) return {};
  // The start is enough: libmagic reads no further than its first megabyte either.
  const std::size_t length = std::min<std::size_t>(bytes.size(), 1 << 20);
  const char* kind = magic_buffer(cookie.get(), bytes.data(), length);
  if (kind == nullptr) return {};
  const std::string_view text(kind);
  // Its words for bytes of no known kind.
  if (text == "data" || text == "empty" || text.starts_with("very short file")) return {};
  return std::string(text);
}

}  // namespace pexol
