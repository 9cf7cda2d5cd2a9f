// sections/TitleRecord.h - one title: its record layout, position line and element lines
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sections/RecordWalk.h"

namespace pexol {

constexpr std::uint16_t elementKindWithoutValues = 0x300;
inline constexpr std::string_view fontSizeKey = "fontsize=";
inline constexpr std::string_view positionKey = "begin=";

/// One text element. What the text does not show is kept as the bytes it was read from.
struct TitleElement {
  std::uint32_t elementValue = 0;  ///< present with values; 1 marks a text naming a media file
  std::string text;
  std::string_view middle;  ///< layout data between the text and the font name
  std::string fontName;
  std::int32_t fontSize = 0;
  std::string_view tail;  ///< style data after the font size
};

struct TitleRecord {
  std::int32_t begin = 0;
  std::int32_t value1 = 0;
  std::int32_t value2 = 0;
  std::string_view name1;
  std::int32_t block1Bytes = 0;
  std::string_view block1;
  std::int32_t value3 = 0;
  std::string_view name2;
  std::int32_t block2Bytes = 0;
  std::string_view block2;
  std::uint16_t elementKind = 0;  ///< with the extension
  std::uint16_t extensionWord = 0;
  std::uint32_t titleValue = 0;  ///< with the extension
  std::vector<TitleElement> elements;
  std::string_view closing;

  /// Elements carry an element value: with the extension, unless the kind says otherwise.
  bool ElementsHaveValues(bool extended) const {
    return extended && elementKind != elementKindWithoutValues;
  }
};

constexpr std::uint64_t elementMiddleBytes = 9 * 4;
// Three dwords, a byte, six blocks of dwords each closed by a word, five dwords.
constexpr std::uint64_t elementTailBytes =
    3 * 4 + 1 + (22 + 18 + 28 + 18 + 29 + 18) * 4 + 6 * 2 + 5 * 4;

/// `extended`: the record carries element kind, title value and element values, which
/// depends on the version and the software (HasTitleExtension).
template <class Walker>
void WalkTitleRecord(Walker& w, TitleRecord& title, bool extended) {
  w.Dword(title.begin);
  w.Dword(title.value1);
  w.Dword(title.value2);
  w.RawString(title.name1);
  w.Dword(title.block1Bytes);
  w.Raw(title.block1, WordBlockBytes(title.block1Bytes));
  w.Dword(title.value3);
  w.RawString(title.name2);
  w.Dword(title.block2Bytes);
  w.Raw(title.block2, WordBlockBytes(title.block2Bytes));
  if (extended) {
    w.Word(title.elementKind);
    w.Word(title.extensionWord);
    w.Dword(title.titleValue);
  }
  std::int32_t count = CountOf(title.elements);
  w.Dword(count);
  const bool withValues = title.ElementsHaveValues(extended);
  w.Items(title.elements, count, [&w, withValues](TitleElement& element) {
    if (withValues) w.Dword(element.elementValue);
    w.ElementText(element.text);
    w.Raw(element.middle, elementMiddleBytes);
    w.String(element.fontName);
    w.Dword(element.fontSize);
    w.Raw(element.tail, elementTailBytes);
  });
  w.RawString(title.closing);
}

/// True for an element whose text is an image file's name: its element value is 1.
inline bool NamesMediaFile(const TitleRecord& title, const TitleElement& element, bool extended) {
  return title.ElementsHaveValues(extended) && element.elementValue == 1;
}

/// "begin=%d", with the extension ",%u" and the title value, then ",\r\n".
std::string FormatTitlePositionLine(const TitleRecord& title, bool extended);
/// With values ",%u" and the value; the text and the font quoted and escaped; the size.
std::string FormatTitleElementLine(const TitleElement& element, bool withValue);

/// What an element line carries back into a project.
struct TitleElementLine {
  std::string text;
  std::string fontName;
  std::int32_t fontSize = 0;
};
/// Throws `FieldError` when a field does not read as the layout says.
TitleElementLine ParseTitleElementLine(std::string_view line, bool withValue);
/// True when a line starts as a title's position line does ("begin=", any case); the rest
/// of it is not read: the position comes from the project.
bool IsTitlePositionLine(std::string_view line);

}  // namespace pexol
