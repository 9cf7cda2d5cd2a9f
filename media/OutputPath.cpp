// media/OutputPath.cpp - absolute paths for other programs, and what their documents hold
#include "media/OutputPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/TextEncoding.h"
#include "media/PathText.h"

namespace pexol {

std::string OutputPath(const std::string& path) {
  const bool windows = (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                        path[1] == ':' && (path[2] == '/' || path[2] == '\\')) ||
                       path.starts_with("//") || path.starts_with("\\\\");
  const std::filesystem::path native = PathOfUtf8(path);
  if (windows || native.is_absolute()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(native, error);
  return error ? path : Utf8OfPath(absolute.lexically_normal());
}

bool JsonCanHold(std::string_view text) {
  return IsValidUtf8(text);
}

bool XmlCanHold(std::string_view text) {
  return IsValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
         });
}

}  // namespace pexol
