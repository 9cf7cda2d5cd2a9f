// collect/FileDigest.h - the SHA-256 of bytes read in pieces, from the system's library
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace pexol {

/// A SHA-256 digest fed piece by piece. Throws std::runtime_error only when the system's
/// library cannot start one (a broken installation).
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Add(const void* bytes, std::size_t size);
  /// The digest of everything added, as 64 lowercase hex digits; ends the digest.
  std::string HexDigest();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

/// The hex text of `size` bytes.
std::string HexOf(const unsigned char* bytes, std::size_t size);

}  // namespace pexol
