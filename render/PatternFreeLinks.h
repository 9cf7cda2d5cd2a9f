// render/PatternFreeLinks.h - links to images under names MLT's image loaders read as they are
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pexol {

/// A private temporary folder of links, made at the first one and removed with the object (or
/// by a run ended by a signal):
/// the render opens an image whose name MLT's loaders would misread (ImageLoadersMisread), and
/// a medium whose name XML cannot hold (bytes in another encoding), through a link of a plain
/// name: the display-free image loader, which seeks, and MLT's document take it.
class PatternFreeLinks {
 public:
  PatternFreeLinks() = default;
  ~PatternFreeLinks();
  PatternFreeLinks(const PatternFreeLinks&) = delete;
  PatternFreeLinks& operator=(const PatternFreeLinks&) = delete;

  /// The link to `path` (UTF-8), a copy where no link can be made; nullopt, with `error`
  /// set, when neither can.
  std::optional<std::string> LinkTo(const std::string& path, std::string& error);

 private:
  std::filesystem::path folder_;
  int registration_ = -1;
  int count_ = 0;
};

}  // namespace pexol
