// core/FileSignatures.h - the kinds of file told by their signatures: what users give in a
// project's place, on every platform
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pexol {

/// A kind of file told by its signature.
struct SignedKind {
  std::string_view words;  ///< as file(1) words it: "PNG image data"
  /// True for a signature no project carries (images, movies, sounds, archives, documents):
  /// such a file is refused before any record is read. False for a loose one (a JSON text's
  /// "{"), which only names a file whose header cannot be a project's.
  bool certain = false;
};

/// The kind whose signature `bytes` (a whole file) carry; nullopt for none. A signature reads
/// only the file's first bytes, a few fixed places and its last bytes (Targa's footer).
std::optional<SignedKind> KindBySignature(std::span<const std::uint8_t> bytes);

}  // namespace pexol
