// sections/TitleRecord.cpp - title lines in both directions
#include "sections/TitleRecord.h"

#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

std::string FormatTitlePositionLine(const TitleRecord& title, bool extended) {
  std::string line = std::string(positionKey) + std::to_string(title.begin);
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
  FieldReader fields(line);
  fields.SetLayout(Say("a title element line reads {0}", withValue
                                                             ? ",VALUE,\"TEXT\",\"FONT\",fontsize=N"
                                                             : ",\"TEXT\",\"FONT\",fontsize=N"));
  if (!fields.Text(ToTranslate("an empty field")).empty())
    fields.FailSaying(
        ToTranslate("field {0} is \"{1}\", where the line should start with a comma"));
  // The value is checked for the line's sake; it comes from the project.
  if (withValue) fields.Number("");
  TitleElementLine element;
  element.text = fields.Text(ToTranslate("the text"));
  element.fontName = fields.Text(ToTranslate("the font name"));
  element.fontSize = fields.Number(fontSizeKey, "pt");
  fields.End();
  return element;
}

bool IsTitlePositionLine(std::string_view line) {
  return line.size() >= positionKey.size() &&
         EqualsIgnoreCase(line.substr(0, positionKey.size()), positionKey);
}

}  // namespace pexol
