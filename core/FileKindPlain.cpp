// core/FileKindPlain.cpp - file kinds from their signatures alone, where there is no libmagic
// (Debian has no MinGW build of it)
#include "core/FileKind.h"
#include "core/FileSignatures.h"

namespace pexol {

std::string DescribeFileKind(std::span<const std::uint8_t> bytes) {
  const auto kind = KindBySignature(bytes);
  return kind ? std::string(kind->words) : std::string();
}

}  // namespace pexol
