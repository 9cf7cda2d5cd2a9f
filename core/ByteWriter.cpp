// core/ByteWriter.cpp - the counted-string writer
#include "core/ByteWriter.h"

namespace pexol {

void ByteWriter::WriteString(std::string_view text) {
  if (text.size() < 255) {
    WriteByte(static_cast<std::uint32_t>(text.size()));
  } else {
    WriteByte(255);
    WriteWord(static_cast<std::uint32_t>(text.size()));
  }
  WriteText(text);
}

}  // namespace pexol
