// sections/ClipKind.cpp - name endings and the 39-character colour clip descriptor
#include "sections/ClipKind.h"

#include <algorithm>
#include <array>

#include "core/TextScanner.h"

namespace pexol {

namespace {

constexpr std::array<std::string_view, 27> stillEndings = {
    ".bmp", ".dib", ".rle", ".jpg", "jpeg", "jfif", ".pic", "pict", ".pct",
    ".png", "pntg", ".pnt", ".mac", ".psd", ".qti", "qtif", ".sgi", ".rgb",
    ".tga", "arga", ".vda", ".icb", ".vst", ".tif", "tiff", ".fpx", ".gif"};

constexpr std::array<std::string_view, 8> directionTexts = {"U", "UR", "R", "BR",
                                                            "B", "BL", "L", "UL"};
// The parser compares the last two characters of the direction field with these.
constexpr std::array<std::string_view, 8> directionTails = {"=U", "UR", "=R", "BR",
                                                            "=B", "BL", "=L", "UL"};

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

std::string_view LastChars(std::string_view text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
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

std::string ColourClipName(const std::string (&fields)[7], bool withType) {
  const std::string* field = fields;
  std::string name;
  name += withType ? LastChars(*field++, 1) : "0";
  name += LastChars(*field++, 1);
  const std::string_view tail = LastChars(*field++, 2);
  const auto match = std::find(directionTails.begin(), directionTails.end(), tail);
  if (match != directionTails.end())
    name += static_cast<char>('0' + (match - directionTails.begin()));
  else
    name += LastChars(tail, 1);  // a digit without a direction text stands for itself
  for (int i = 0; i < 3; ++i) {
    name += "00";
    name += LastChars(*field++, 6);
  }
  name += "00";
  name += After(*field, 4).substr(0, 6);
  name += ".clr";
  return name;
}

std::string NameFieldText(std::string_view name) {
  if (IsColourLine(name)) return "\"" + EscapeQuoted(name) + "\"";
  return FieldText(name);
}

}  // namespace pexol
