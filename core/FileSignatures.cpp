// core/FileSignatures.cpp - one table of signatures, each strict enough that no project matches
//
// A project starts with its version (minor byte, then major: 01 or 02), a word, then its counts
// of bin items and main clips. Every signature below either differs from that in its first two
// bytes or checks the structure behind its magic, so a project is never taken for one.
#include "core/FileSignatures.h"

#include <array>
#include <string_view>

namespace pexol {

namespace {

using namespace std::string_view_literals;

using Bytes = std::string_view;

bool HasAt(Bytes file, std::size_t offset, Bytes magic) {
  return file.size() >= offset + magic.size() && file.substr(offset, magic.size()) == magic;
}

unsigned Byte(Bytes file, std::size_t offset) {
  return static_cast<unsigned char>(file[offset]);
}

unsigned LittleWord(Bytes file, std::size_t offset) {
  return Byte(file, offset) | Byte(file, offset + 1) << 8;
}

unsigned BigWord(Bytes file, std::size_t offset) {
  return Byte(file, offset) << 8 | Byte(file, offset + 1);
}

std::uint32_t BigDword(Bytes file, std::size_t offset) {
  return std::uint32_t{BigWord(file, offset)} << 16 | BigWord(file, offset + 2);
}

std::uint32_t LittleDword(Bytes file, std::size_t offset) {
  return std::uint32_t{LittleWord(file, offset + 2)} << 16 | LittleWord(file, offset);
}

// Targa: the footer of version 2, or a version 1 header whose every field is one Targa allows
// (a project's major version stands where the colour map type does, and its bin count where
// the colour map's entry size does).
bool Targa(Bytes file) {
  if (file.size() >= 26 && file.substr(file.size() - 18) == "TRUEVISION-XFILE.\0"sv) return true;
  if (file.size() < 18) return false;
  const unsigned idLength = Byte(file, 0);
  const unsigned mapType = Byte(file, 1);
  const unsigned imageType = Byte(file, 2);
  const unsigned mapLength = LittleWord(file, 5);
  const unsigned entryBits = Byte(file, 7);
  const std::uint64_t width = LittleWord(file, 12);
  const std::uint64_t height = LittleWord(file, 14);
  const unsigned depth = Byte(file, 16);
  const unsigned descriptor = Byte(file, 17);
  const bool mapped = imageType == 1 || imageType == 9;
  const bool known =
      mapped || imageType == 2 || imageType == 3 || imageType == 10 || imageType == 11;
  if (!known || mapType > 1 || mapped != (mapType == 1)) return false;
  if (mapType == 1 && (mapLength == 0 ||
                       (entryBits != 15 && entryBits != 16 && entryBits != 24 && entryBits != 32)))
    return false;
  if (mapType == 0 && file.substr(3, 5) != "\0\0\0\0\0"sv) return false;
  if (width == 0 || height == 0 || (descriptor & 0xC0) != 0) return false;
  if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  std::uint64_t needed = 18 + idLength + std::uint64_t{mapLength} * ((entryBits + 7) / 8);
  if (imageType < 9) needed += width * height * ((depth + 7) / 8);  // not run-length coded
  return file.size() >= needed;
}

// PICT: picture size and frame, then the version opcode (version 2's header opcode after it),
// at the start or behind the 512 bytes a Macintosh file kept for its application.
bool PictAt(Bytes file, std::size_t start) {
  if (file.size() < start + 12) return false;
  const auto frame = [&](std::size_t i) {
    return static_cast<std::int16_t>(BigWord(file, start + 2 + 2 * i));
  };
  if (frame(2) <= frame(0) || frame(3) <= frame(1)) return false;
  if (HasAt(file, start + 10, "\x00\x11\x02\xFF\x0C\x00"sv)) return true;
  // Version 1's opcode is two bytes only: behind a header, that header must be all zeros.
  return HasAt(file, start + 10, "\x11\x01"sv) &&
         (start == 0 || file.substr(0, start).find_first_not_of('\0') == Bytes::npos);
}

bool Pict(Bytes file) {
  return PictAt(file, 0) || PictAt(file, 512);
}

bool Photoshop(Bytes file) {
  return HasAt(file, 0, "8BPS\x00\x01"sv) || HasAt(file, 0, "8BPS\x00\x02"sv);
}

bool SiliconGraphics(Bytes file) {
  return file.size() >= 4 && HasAt(file, 0, "\x01\xDA"sv) && Byte(file, 2) <= 1 &&
         (Byte(file, 3) == 1 || Byte(file, 3) == 2);
}

bool Bitmap(Bytes file) {
  if (file.size() < 18 || !HasAt(file, 0, "BM"sv)) return false;
  const std::uint32_t header = LittleDword(file, 14);
  return header == 12 || header == 16 || header == 40 || header == 52 || header == 56 ||
         header == 64 || header == 108 || header == 124;
}

// QuickTime and MP4 files are boxes from the start: a size (0: to the end, 1: 64 bits
// follow), then a type QuickTime opens a file with.
bool IsoMedia(Bytes file) {
  if (file.size() < 8) return false;
  const std::uint32_t size = BigDword(file, 0);
  if (size != 0 && size != 1 && size < 8) return false;
  for (const Bytes type : {"ftyp"sv, "moov"sv, "mdat"sv, "free"sv, "skip"sv, "wide"sv, "pnot"sv})
    if (HasAt(file, 4, type)) return true;
  return false;
}

// MPEG transport streams: a sync byte every 188 bytes (192 in a Blu-ray's or AVCHD's .m2ts).
bool TransportStream(Bytes file) {
  for (const std::size_t first : {std::size_t{0}, std::size_t{4}}) {
    const std::size_t packet = first == 0 ? 188 : 192;
    if (file.size() < first + 3 * packet) continue;
    bool synced = true;
    for (int p = 0; p < 3; ++p) synced = synced && Byte(file, first + p * packet) == 0x47;
    if (synced) return true;
  }
  return false;
}

// An MPEG audio frame header (MP3 and its kin): sync bits, then a version, layer, bit rate
// and sample rate that are not reserved.
bool MpegAudio(Bytes file) {
  if (file.size() < 4 || Byte(file, 0) != 0xFF || (Byte(file, 1) & 0xE0) != 0xE0) return false;
  const unsigned version = Byte(file, 1) >> 3 & 3;
  const unsigned layer = Byte(file, 1) >> 1 & 3;
  const unsigned rate = Byte(file, 2) >> 4;
  const unsigned sampling = Byte(file, 2) >> 2 & 3;
  // Layers II and III: a layer I header would take a UTF-16 text's byte-order mark for one.
  return version != 1 && (layer == 1 || layer == 2) && rate != 15 && sampling != 3;
}

// AAC in ADTS frames: sync bits, layer 0, a sampling index that exists.
bool Adts(Bytes file) {
  return file.size() >= 7 && Byte(file, 0) == 0xFF && (Byte(file, 1) & 0xF6) == 0xF0 &&
         (Byte(file, 2) >> 2 & 15) < 13;
}

bool Id3(Bytes file) {
  return file.size() >= 10 && HasAt(file, 0, "ID3"sv) && Byte(file, 3) >= 2 && Byte(file, 3) <= 4;
}

// A DV file's first DIF block: a header section (1F 07 00), its DSF bit beside ones.
bool DigitalVideo(Bytes file) {
  return file.size() >= 80 && HasAt(file, 0, "\x1F\x07\x00"sv) && (Byte(file, 3) & 0x3F) == 0x3F;
}

bool Riff(Bytes file) {
  return file.size() >= 12 &&
         (HasAt(file, 0, "RIFF"sv) || HasAt(file, 0, "RIFX"sv) || HasAt(file, 0, "RF64"sv));
}

// A tar header: "ustar" and a checksum that sums its bytes (the checksum's own as spaces).
bool Tar(Bytes file) {
  if (file.size() < 512 || !HasAt(file, 257, "ustar"sv)) return false;
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < 512; ++i) sum += i >= 148 && i < 156 ? ' ' : Byte(file, i);
  std::uint32_t stated = 0;
  std::size_t i = 148;
  while (i < 156 && file[i] == ' ') ++i;
  const std::size_t digits = i;
  for (; i < 156 && file[i] >= '0' && file[i] <= '7'; ++i) stated = stated * 8 + (file[i] - '0');
  return i > digits && sum == stated;
}

// LHA's header: its method ("-lh5-", "-lzs-", "-lhd-"...) at byte 2.
bool Lha(Bytes file) {
  if (file.size() < 22 || Byte(file, 2) != '-' || Byte(file, 6) != '-') return false;
  const Bytes method = file.substr(3, 3);
  return (method.starts_with("lh") &&
          ((method[2] >= '0' && method[2] <= '7') || method[2] == 'd')) ||
         method == "lzs" || method == "lz4" || method == "lz5";
}

struct Signature {
  std::string_view words;
  bool (*matches)(Bytes file);
  bool certain = true;
};

template <std::size_t offset, const std::string_view& magic>
bool Magic(Bytes file) {
  return HasAt(file, offset, magic);
}

// Magic bytes the template above takes (a template argument must have a name).
namespace magic {
constexpr Bytes jpeg = "\xFF\xD8\xFF"sv;
constexpr Bytes png = "\x89PNG\r\n\x1A\n"sv;
constexpr Bytes gif87 = "GIF87a"sv;
constexpr Bytes gif89 = "GIF89a"sv;
constexpr Bytes tiffLittle = "II*\0"sv;
constexpr Bytes tiffBig = "MM\0*"sv;
constexpr Bytes bigTiffLittle = "II+\0"sv;
constexpr Bytes bigTiffBig = "MM\0+"sv;
constexpr Bytes jpeg2000 = "\0\0\0\x0CjP  \r\n\x87\n"sv;
constexpr Bytes dpxBig = "SDPX"sv;
constexpr Bytes dpxLittle = "XPDS"sv;
constexpr Bytes matroska = "\x1A\x45\xDF\xA3"sv;
constexpr Bytes mpegProgram = "\x00\x00\x01\xBA"sv;
constexpr Bytes mpegVideo = "\x00\x00\x01\xB3"sv;
constexpr Bytes asf = "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv;
constexpr Bytes flv = "FLV\x01"sv;
constexpr Bytes avi = "AVI "sv;
constexpr Bytes wave = "WAVE"sv;
constexpr Bytes webp = "WEBP"sv;
constexpr Bytes aiffForm = "FORM"sv;
constexpr Bytes aiff = "AIFF"sv;
constexpr Bytes aifc = "AIFC"sv;
constexpr Bytes flac = "fLaC"sv;
constexpr Bytes ogg = "OggS"sv;
constexpr Bytes sunAudio = ".snd"sv;
constexpr Bytes midi = "MThd"sv;
constexpr Bytes zip = "PK\x03\x04"sv;
constexpr Bytes emptyZip = "PK\x05\x06"sv;
constexpr Bytes spannedZip = "PK\x07\x08"sv;
constexpr Bytes gzip = "\x1F\x8B\x08"sv;
constexpr Bytes sevenZip = "7z\xBC\xAF\x27\x1C"sv;
constexpr Bytes rar = "Rar!\x1A\x07"sv;
constexpr Bytes xz = "\xFD\x37zXZ\0"sv;
constexpr Bytes zstd = "\x28\xB5\x2F\xFD"sv;
constexpr Bytes cabinet = "MSCF\0\0\0\0"sv;
constexpr Bytes pdf = "%PDF-"sv;
constexpr Bytes postscript = "%!PS"sv;
constexpr Bytes compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv;
constexpr Bytes rtf = "{\\rtf"sv;
constexpr Bytes xml = "<?xml"sv;
constexpr Bytes xmlMarked = "\xEF\xBB\xBF<?xml"sv;
constexpr Bytes sqlite = "SQLite format 3\0"sv;
constexpr Bytes executable = "MZ"sv;
constexpr Bytes elf = "\x7F\x45LF"sv;
constexpr Bytes json = "{"sv;
}  // namespace magic

bool Bzip2(Bytes file) {
  return file.size() >= 4 && HasAt(file, 0, "BZh"sv) && file[3] >= '1' && file[3] <= '9';
}

bool Aiff(Bytes file) {
  return Magic<0, magic::aiffForm>(file) &&
         (Magic<8, magic::aiff>(file) || Magic<8, magic::aifc>(file));
}

constexpr std::array signatures = {
    // Stills
    Signature{"JPEG image data", Magic<0, magic::jpeg>},
    Signature{"PNG image data", Magic<0, magic::png>},
    Signature{"GIF image data", Magic<0, magic::gif87>},
    Signature{"GIF image data", Magic<0, magic::gif89>},
    Signature{"PC bitmap", Bitmap},
    Signature{"TIFF image data", Magic<0, magic::tiffLittle>},
    Signature{"TIFF image data", Magic<0, magic::tiffBig>},
    Signature{"Big TIFF image data", Magic<0, magic::bigTiffLittle>},
    Signature{"Big TIFF image data", Magic<0, magic::bigTiffBig>},
    Signature{"Adobe Photoshop Image", Photoshop},
    Signature{"SGI image data", SiliconGraphics},
    Signature{"JPEG 2000 image data", Magic<0, magic::jpeg2000>},
    Signature{"DPX image data", Magic<0, magic::dpxBig>},
    Signature{"DPX image data", Magic<0, magic::dpxLittle>},
    Signature{"Macintosh PICT image data", Pict},
    Signature{"Targa image data", Targa},
    // Movies and sounds
    Signature{"RIFF (little-endian) data, AVI",
              [](Bytes f) { return Riff(f) && Magic<8, magic::avi>(f); }},
    Signature{"RIFF (little-endian) data, WAVE audio",
              [](Bytes f) { return Riff(f) && Magic<8, magic::wave>(f); }},
    Signature{"RIFF (little-endian) data, Web/P image",
              [](Bytes f) { return Riff(f) && Magic<8, magic::webp>(f); }},
    Signature{"RIFF (little-endian) data", Riff},
    Signature{"ISO Media (MP4, QuickTime)", IsoMedia},
    Signature{"Matroska data", Magic<0, magic::matroska>},
    Signature{"MPEG sequence", Magic<0, magic::mpegProgram>},
    Signature{"MPEG sequence", Magic<0, magic::mpegVideo>},
    Signature{"MPEG transport stream data", TransportStream},
    Signature{"DIF (DV) movie file", DigitalVideo},
    Signature{"Microsoft ASF", Magic<0, magic::asf>},
    Signature{"Macromedia Flash Video", Magic<0, magic::flv>},
    Signature{"IFF data, AIFF audio", Aiff},
    Signature{"FLAC audio bitstream data", Magic<0, magic::flac>},
    Signature{"Ogg data", Magic<0, magic::ogg>},
    Signature{"Audio file with ID3", Id3},
    Signature{"MPEG ADTS, AAC", Adts},
    Signature{"MPEG audio", MpegAudio},
    Signature{"Sun/NeXT audio data", Magic<0, magic::sunAudio>},
    Signature{"Standard MIDI data", Magic<0, magic::midi>},
    // Archives
    Signature{"Zip archive data", Magic<0, magic::zip>},
    Signature{"Zip archive data", Magic<0, magic::emptyZip>},
    Signature{"Zip archive data", Magic<0, magic::spannedZip>},
    Signature{"gzip compressed data", Magic<0, magic::gzip>},
    Signature{"7-zip archive data", Magic<0, magic::sevenZip>},
    Signature{"RAR archive data", Magic<0, magic::rar>},
    Signature{"bzip2 compressed data", Bzip2},
    Signature{"XZ compressed data", Magic<0, magic::xz>},
    Signature{"Zstandard compressed data", Magic<0, magic::zstd>},
    Signature{"Microsoft Cabinet archive data", Magic<0, magic::cabinet>},
    Signature{"POSIX tar archive", Tar},
    Signature{"LHa archive data", Lha},
    // Documents and programs
    Signature{"PDF document", Magic<0, magic::pdf>},
    Signature{"PostScript document", Magic<0, magic::postscript>},
    Signature{"Composite Document File V2 Document", Magic<0, magic::compound>},
    Signature{"Rich Text Format data", Magic<0, magic::rtf>},
    Signature{"XML document", Magic<0, magic::xml>},
    Signature{"XML document", Magic<0, magic::xmlMarked>},
    Signature{"SQLite 3.x database", Magic<0, magic::sqlite>},
    Signature{"MS-DOS executable", Magic<0, magic::executable>},
    Signature{"ELF executable", Magic<0, magic::elf>},
    // Tried last: its "{" is one byte.
    Signature{"JSON text data", Magic<0, magic::json>, false},
};

}  // namespace

std::optional<SignedKind> KindBySignature(std::span<const std::uint8_t> bytes) {
  const Bytes file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (const Signature& signature : signatures)
    if (signature.matches(file)) return SignedKind{signature.words, signature.certain};
  return std::nullopt;
}

}  // namespace pexol
