// sections/ProjectHeader.cpp - header reading and the frequency names
#include "sections/ProjectHeader.h"

#include "core/ByteReader.h"

namespace pexol {

ProjectHeader ReadHeader(ByteReader& project) {
  ProjectHeader header;
  const std::uint16_t minor = project.ReadByte();
  const std::uint16_t major = project.ReadByte();
  header.version = static_cast<std::uint16_t>(minor + 256 * major);
  header.reserved = project.ReadWord();
  header.binClipCount = project.ReadDword();
  header.mainClipCount = project.ReadDword();
  header.audioFrequency = project.ReadDword();
  return header;
}

std::string FrequencyText(std::int32_t audioFrequency) {
  switch (audioFrequency) {
    case 48000:
      return "48kHz16bit";
    case 44100:
      return "44.1kHz16bit";
    case 32016:
      return "32kHz16bit";
    case 32012:
      return "32kHz12bit";
    case 0:
      return "";
    default:
      return std::to_string(audioFrequency);
  }
}

}  // namespace pexol
