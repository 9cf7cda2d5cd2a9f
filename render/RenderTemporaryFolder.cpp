// render/RenderTemporaryFolder.cpp - a folder made by mkdtemp, links in it named media-N.EXT
#include "render/RenderTemporaryFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <system_error>

#include "core/Translation.h"
#include "media/OutputPath.h"
#include "media/PathText.h"

namespace pexol {

RenderTemporaryFolder::~RenderTemporaryFolder() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::optional<std::filesystem::path> RenderTemporaryFolder::Path(std::string& error) {
  namespace fs = std::filesystem;
  if (!folder_.empty()) return folder_;
  std::error_code code;
  // The folder's own name must hold no '%' either, nor bytes MLT's document cannot hold.
  fs::path base = fs::temp_directory_path(code);
  if (code || base.string().find('%') != std::string::npos || !XmlCanHold(base.string()))
    base = "/tmp";
  std::string pattern = (base / "pexol-render-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    error = Say("no temporary folder could be made: {0}",
                std::error_code(errno, std::generic_category()).message());
    return std::nullopt;
  }
  folder_ = pattern;
  return folder_;
}

std::optional<std::string> RenderTemporaryFolder::LinkTo(const std::string& path,
                                                         std::string& error) {
  namespace fs = std::filesystem;
  const auto folder = Path(error);
  if (!folder) return std::nullopt;
  std::error_code code;
  const fs::path target = PathOfUtf8(path);
  // The loader that opens a title's image picks it by its ending.
  std::string extension = target.extension().string();
  if (extension.find('%') != std::string::npos || !XmlCanHold(extension)) extension.clear();
  const fs::path link = *folder / ("media-" + std::to_string(++count_) + extension);
  fs::create_symlink(fs::absolute(target, code), link, code);
  if (code) fs::copy_file(target, link, code);
  if (code) {
    error = Say("no link to it could be made: {0}", code.message());
    return std::nullopt;
  }
  return Utf8OfPath(link);
}

}  // namespace pexol
