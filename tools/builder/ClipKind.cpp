// tools/builder/ClipKind.cpp - clip name endings and colour clip names
#include "tools/builder/ClipKind.h"

#include <algorithm>
#include <string>

#include "tools/builder/ProjectBuilder.h"

namespace pexol::build::detail {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithIgnoreCase(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  const std::string_view tail = name.substr(name.size() - ending.size());
  return std::equal(tail.begin(), tail.end(), ending.begin(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

}  // namespace

bool HasStillEnding(std::string_view name) {
  return std::any_of(stillEndings.begin(), stillEndings.end(),
                     [name](std::string_view e) { return EndsWithIgnoreCase(name, e); });
}

ClipKind KindOfName(std::string_view name) {
  if (EndsWithIgnoreCase(name, "avi")) return ClipKind::Movie;
  if (HasStillEnding(name)) return ClipKind::Still;
  if (EndsWithIgnoreCase(name, "clr")) return ClipKind::Color;
  return ClipKind::Unknown;
}

}  // namespace pexol::build::detail

namespace pexol::build {
namespace {

void AppendColour(std::string& name, std::string_view colour) {
  name += "00";
  std::string six(colour.substr(0, 6));
  six.resize(6, '0');
  name += six;
}

}  // namespace

std::string ColorClipName(int type, int count, int direction, std::string_view c1,
                          std::string_view c2, std::string_view c3, std::string_view c4) {
  std::string name;
  name += static_cast<char>('0' + type);
  name += static_cast<char>('0' + count);
  name += static_cast<char>('0' + direction);
  for (std::string_view colour : {c1, c2, c3, c4}) AppendColour(name, colour);
  return name + ".clr";
}

}  // namespace pexol::build
