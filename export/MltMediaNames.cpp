// export/MltMediaNames.cpp - the image names MLT's loaders misread, and FFmpeg's reading of them
#include "export/MltMediaNames.h"

#include <cctype>
#include <cstring>

namespace pexol {
namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A frame-number pattern as FFmpeg reads one: exactly one "%d" (with optional width digits),
// every other '%' a literal one ("%%", or digits and '%').
bool FrameNumberPattern(std::string_view path) {
  bool numbered = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] != '%') continue;
    ++i;
    while (i < path.size() && IsDigit(path[i])) ++i;
    if (i == path.size()) return false;
    if (path[i] == '%') continue;
    if (path[i] != 'd' || numbered) return false;
    numbered = true;
  }
  return numbered;
}

// FFmpeg's image reader globs a name with a glob character after a '%' (which otherwise
// escapes them).
bool Glob(std::string_view path) {
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    if (path[i] != '%') continue;
    if (path[i + 1] == '%') {
      ++i;
      continue;
    }
    if (std::strchr("*?[]{}", path[i + 1])) return true;
  }
  return false;
}

}  // namespace

bool ImageLoadersMisread(std::string_view path) {
  return path.find('%') != std::string_view::npos && !FrameNumberPattern(path);
}

std::string FfmpegImageResource(std::string_view path) {
  std::string resource(path);
  // MLT's avformat producer passes what follows "\?" to FFmpeg as the reader's options.
  if (Glob(path)) resource += "\\?pattern_type=none";
  return resource;
}

}  // namespace pexol
