// sections/TitleRecord.cpp - title lines in both directions
#include "sections/TitleRecord.h"

#include "core/TextScanner.h"

namespace pexol {

std::string FormatTitlePositionLine(const TitleRecord& title, bool extended) {
  std::string line = "begin=" + std::to_string(title.begin);
  if (extended) line += "," + std::to_string(title.titleValue);
  return line + ",\r\n";
}

std::string FormatTitleElementLine(const TitleElement& element, bool withValue) {
  std::string line;
  if (withValue) line += "," + std::to_string(element.elementValue);
  line += ",\"" + EscapeQuoted(element.text) + "\"";
  // Font names are escaped too, so that every name reads back as stored.
  line += ",\"" + EscapeQuoted(element.fontName) + "\"";
  line += "," + std::string(fontSizeKey) + std::to_string(element.fontSize) + "\r\n";
  return line;
}

TitleElementLine ParseTitleElementLine(std::string_view line, bool withValue) {
  // Field 0 is empty (the line starts with a comma); the value comes from the project.
  FieldReader fields(line, withValue ? 2 : 1);
  TitleElementLine element;
  element.text = fields.Next();
  element.fontName = fields.Next();
  element.fontSize = fields.Number(fontSizeKey);
  return element;
}

}  // namespace pexol
