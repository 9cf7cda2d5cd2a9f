// sections/TitleSection.h - titles: position and element lines, texts and fonts back
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sections/RunContext.h"

namespace pexol {

constexpr std::uint16_t elementKindWithoutValues = 0x300;

/// One text element. The byte views point into the project and cover what the text
/// does not carry, so a converted record copies them unchanged.
struct TitleElement {
  bool hasValue = false;           ///< an `elementValue` precedes the text
  std::uint32_t elementValue = 0;  ///< 1 marks a text that names a media file
  std::string text;
  std::string fontName;
  std::int32_t fontSize = 0;
  std::string_view valueBytes;   ///< the element value, when present
  std::string_view middleBytes;  ///< between the text and the font name
  std::string_view tailBytes;    ///< after the font size
};

struct TitleRecord {
  std::int32_t begin = 0;
  bool extended = false;  ///< carries element kind, title value and element values
  std::uint32_t titleValue = 0;
  std::string_view headBytes;  ///< from the start of the record to the element count, inclusive
  std::vector<TitleElement> elements;
  std::string_view closingBytes;  ///< the closing counted string
};

/// Reads one title record; `extended` tells whether the record carries the extension.
TitleRecord ReadTitleRecord(ByteReader& project, bool extended);

/// Reads `count` titles and writes their position and element lines.
void DumpTitleSection(ToTextRun& run, std::int32_t count);
/// Consumes the "[Title]" heading, writes the count, and for each title takes texts,
/// fonts and sizes from the lines and everything else from the source.
void ParseTitleSection(ToProjectRun& run, std::int32_t count);

}  // namespace pexol
