// core/FileUrl.cpp - paths as URLs and links, percent-encoded from their UTF-8 bytes
#include "core/FileUrl.h"

namespace pexol {

namespace {

bool Unreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string FileUrl(std::string_view path, UrlForm form) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string url;
  const bool file = form != UrlForm::Relative;
  if (file) {
    url = form == UrlForm::Localhost ? "file://localhost" : "file://";
    if (path.empty() || (path[0] != '/' && path[0] != '\\')) url += '/';
  }
  url.reserve(url.size() + path.size());
  for (const char c : path) {
    if (Unreserved(c) || c == '/') {
      url += c;
    } else if (c == '\\' && file) {
      url += '/';
    } else {
      const auto byte = static_cast<unsigned char>(c);
      url += '%';
      url += digits[byte >> 4];
      url += digits[byte & 0xF];
    }
  }
  return url;
}

}  // namespace pexol
