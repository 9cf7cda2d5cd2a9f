// sections/ClipKind.cpp - name endings and the 39-character colour clip descriptor
#include "sections/ClipKind.h"

#include <algorithm>
#include <array>

#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr std::array<std::string_view, 27> stillEndings = {
    ".bmp", ".dib", ".rle", ".jpg", "jpeg", "jfif", ".pic", "pict", ".pct",
    ".png", "pntg", ".pnt", ".mac", ".psd", ".qti", "qtif", ".sgi", ".rgb",
    ".tga", "arga", ".vda", ".icb", ".vst", ".tif", "tiff", ".fpx", ".gif"};

constexpr std::array<std::string_view, 8> directionTexts = {"U", "UR", "R", "BR",
                                                            "B", "BL", "L", "UL"};

constexpr std::size_t descriptorLength = 39;
constexpr std::array<std::size_t, 4> colourPositions = {5, 13, 21, 29};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A colour written into a line must come back as the same six bytes.
bool IsPlainColour(std::string_view colour) {
  return std::none_of(colour.begin(), colour.end(), [](char c) {
    return c == '\0' || c == ',' || c == '"' || c == '\r' || c == '\n' || c == ')';
  });
}

}  // namespace

bool EndsWithIgnoreCase(std::string_view name, std::string_view ending) {
  return name.size() >= ending.size() &&
         EqualsIgnoreCase(name.substr(name.size() - ending.size()), ending);
}

bool IsStillImageName(std::string_view name) {
  if (name.size() < 4) return false;
  // Every ending is four characters: fold the name's last four once and compare those.
  char tail[4];
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = name[name.size() - 4 + i];
    tail[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  const std::string_view folded(tail, 4);
  return std::find(stillEndings.begin(), stillEndings.end(), folded) != stillEndings.end();
}

ClipKind ClipKindOf(std::string_view name) {
  if (EndsWithIgnoreCase(name, "avi")) return ClipKind::Movie;
  if (IsStillImageName(name)) return ClipKind::Still;
  if (EndsWithIgnoreCase(name, "clr")) return ClipKind::Colour;
  return ClipKind::Unknown;
}

std::string ColourClipText(std::string_view name, bool withType) {
  const bool wellFormed =
      name.size() == descriptorLength && IsDigit(name[0]) && IsDigit(name[1]) && IsDigit(name[2]) &&
      name.substr(3, 2) == "00" && name.substr(11, 2) == "00" && name.substr(19, 2) == "00" &&
      name.substr(27, 2) == "00" && name.substr(35) == ".clr" &&
      std::all_of(colourPositions.begin(), colourPositions.end(),
                  [name](std::size_t p) { return IsPlainColour(name.substr(p, 6)); });
  if (!wellFormed) return {};
  std::string text = "ColorClip(";
  if (withType) text += "type=" + std::to_string(name[0] - '0') + ",";
  text += "count=" + std::to_string(name[1] - '0');
  const int direction = name[2] - '0';
  // Digits 8 and 9 have no direction text; they are printed as themselves and read back.
  text += ",direction=";
  text += direction < 8 ? directionTexts[direction] : name.substr(2, 1);
  const char* labels[4] = {",1st=", ",2nd=", ",3rd=", ",4th="};
  for (int i = 0; i < 4; ++i) {
    text += labels[i];
    text += name.substr(colourPositions[i], 6);
  }
  text += ")";
  return text;
}

std::string ReadColourClipName(FieldReader& fields, bool withType, std::string_view sourceName) {
  const bool sourceIsDescriptor = sourceName.size() == descriptorLength;
  const auto digit = [&fields](std::string_view key) {
    const std::string value = fields.Key(key);
    if (value.size() != 1 || !IsDigit(value[0]))
      fields.Fail(Tr("one digit belongs after the \"=\""));
    return value[0];
  };
  std::string name;
  name += withType ? digit("ColorClip(type=")
                   : (sourceIsDescriptor && IsDigit(sourceName[0]) ? sourceName[0] : '0');
  name += digit(withType ? "count=" : "ColorClip(count=");
  const std::string direction = fields.Key("direction=");
  const auto match =
      std::find_if(directionTexts.begin(), directionTexts.end(),
                   [&](std::string_view text) { return EqualsIgnoreCase(text, direction); });
  if (match != directionTexts.end())
    name += static_cast<char>('0' + (match - directionTexts.begin()));
  else if (direction.size() == 1 && IsDigit(direction[0]))
    name += direction;  // a digit without a direction text stands for itself
  else
    fields.Fail(Tr("the direction is U, UR, R, BR, B, BL, L, UL or a digit"));
  constexpr std::string_view labels[4] = {"1st=", "2nd=", "3rd=", "4th="};
  for (std::size_t i = 0; i < 4; ++i) {
    std::string colour = fields.Key(labels[i]);
    if (i == 3 && colour.ends_with(')')) colour.pop_back();
    const bool hex = colour.size() == 6 && std::all_of(colour.begin(), colour.end(), [](char c) {
                       return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
                     });
    if (!hex && !(sourceIsDescriptor && sourceName.substr(colourPositions[i], 6) == colour))
      fields.Fail(Tr("a colour is six hexadecimal digits (0-9, A-F), such as FF8000"));
    name += "00";
    name += colour;
  }
  name += ".clr";
  return name;
}

std::string NameFieldText(std::string_view name) {
  if (IsColourLine(name)) return "\"" + EscapeQuoted(name) + "\"";
  return FieldText(name);
}

}  // namespace pexol
