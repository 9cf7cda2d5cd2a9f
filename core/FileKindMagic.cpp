// core/FileKindMagic.cpp - file kinds from libmagic, the database file(1) reads
//
// Only a source that is not a project is described, so libmagic (and the compression libraries
// it pulls in) is opened then, not at the start of every run. Where it has no words (no
// library, or a kind its database misses, as a Targa known by its footer), the signatures'
// words are given.
#include <magic.h>

#include <memory>
#include <string_view>

#include "core/FileKind.h"
#include "core/FileSignatures.h"
#include "core/SystemLibrary.h"

namespace pexol {

namespace {

std::string MagicWords(std::span<const std::uint8_t> bytes) {
  const SystemLibrary library("libmagic.so.1");
  const auto open = library.Find<decltype(magic_open)>("magic_open");
  const auto close = library.Find<decltype(magic_close)>("magic_close");
  const auto load = library.Find<decltype(magic_load)>("magic_load");
  const auto describe = library.Find<decltype(magic_buffer)>("magic_buffer");
  if (!open || !close || !load || !describe) return {};
  const std::unique_ptr<std::remove_pointer_t<magic_t>, decltype(close)> cookie(
      open(MAGIC_NONE | MAGIC_ERROR), close);
  if (!cookie || load(cookie.get(), nullptr) != 0) return {};
  // The start is enough: libmagic reads no further than its first megabyte either.
  const std::size_t length = std::min<std::size_t>(bytes.size(), 1 << 20);
  const char* kind = describe(cookie.get(), bytes.data(), length);
  if (kind == nullptr) return {};
  const std::string_view text(kind);
  // Its words for bytes of no known kind.
  if (text == "data" || text == "empty" || text.starts_with("very short file")) return {};
  return std::string(text);
}

}  // namespace

std::string DescribeFileKind(std::span<const std::uint8_t> bytes) {
  if (std::string words = MagicWords(bytes); !words.empty()) return words;
  const auto kind = KindBySignature(bytes);
  return kind ? std::string(kind->words) : std::string();
}

}  // namespace pexol
