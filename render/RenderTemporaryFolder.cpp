// render/RenderTemporaryFolder.cpp - a private temporary folder, links in it named media-N.EXT
#include "render/RenderTemporaryFolder.h"

#include <system_error>

#include "core/SystemReason.h"
#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "media/OutputPath.h"
#include "media/PathText.h"

namespace pexol {

RenderTemporaryFolder::~RenderTemporaryFolder() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  ForgetTemporary(registration_);
}

std::optional<std::filesystem::path> RenderTemporaryFolder::Path(std::string& error) {
  namespace fs = std::filesystem;
  if (!folder_.empty()) return folder_;
  std::error_code code;
  // The folder's own name must hold no '%' either, nor bytes MLT's document cannot hold.
  fs::path base = fs::temp_directory_path(code);
  if (code || base.string().find('%') != std::string::npos || !XmlCanHold(base.string()))
    base = "/tmp";
  // Stamped as this process's, so that if it is killed the run that started it removes it.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string named = TemporaryPathFor(Utf8OfPath(base / "pexol"));
    registration_ = RegisterTemporaryFolder(named);
    if (fs::create_directory(PathOfUtf8(named), code) && !code) {
      fs::permissions(PathOfUtf8(named), fs::perms::owner_all, code);
      folder_ = PathOfUtf8(named);
      return folder_;
    }
    ForgetTemporary(registration_);
    registration_ = -1;
  }
  error = Say("no temporary folder could be made: {0}", SystemReason(code));
  return std::nullopt;
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
