// core/FileKindPlain.cpp - file kinds from their signatures, where there is no libmagic
// (Debian has no MinGW build of it): the kinds users give in a project's place most often.
#include <array>
#include <string_view>

#include "core/FileKind.h"

namespace pexol {

namespace {

struct Signature {
  std::size_t offset;
  std::string_view bytes;
  std::string_view kind;
};

using namespace std::string_view_literals;
constexpr std::array signatures = {
    Signature{0, "\xFF\xD8\xFF"sv, "JPEG image data"},
    Signature{0, "\x89PNG\r\n\x1A\n"sv, "PNG image data"},
    Signature{0, "GIF8"sv, "GIF image data"},
    Signature{0, "BM"sv, "PC bitmap"},
    Signature{4, "ftyp"sv, "ISO Media (MP4, QuickTime)"},
    Signature{0, "\x1A\x45\xDF\xA3"sv, "Matroska data"},
    Signature{0, "\x00\x00\x01\xBA"sv, "MPEG sequence"},
    Signature{8, "AVI "sv, "RIFF (little-endian) data, AVI"},
    Signature{8, "WAVE"sv, "RIFF (little-endian) data, WAVE audio"},
    Signature{0, "<?xml"sv, "XML document"},
    Signature{0, "\xEF\xBB\xBF<?xml"sv, "XML document"},
    Signature{0, "{"sv, "JSON text data"},
    Signature{0, "PK\x03\x04"sv, "Zip archive data"},
    Signature{0, "%PDF"sv, "PDF document"},
    Signature{0, "MZ"sv, "MS-DOS executable"},
};

}  // namespace

std::string DescribeFileKind(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (const Signature& signature : signatures)
    if (text.size() >= signature.offset + signature.bytes.size() &&
        text.substr(signature.offset, signature.bytes.size()) == signature.bytes)
      return std::string(signature.kind);
  return {};
}

}  // namespace pexol
