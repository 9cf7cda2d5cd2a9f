// render/PatternFreeLinks.cpp - a temporary folder of links named media-N.EXT
#include "render/PatternFreeLinks.h"

#include <system_error>

#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "media/OutputPath.h"
#include "media/PathText.h"

namespace pexol {

PatternFreeLinks::~PatternFreeLinks() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  ForgetTemporary(registration_);
}

std::optional<std::string> PatternFreeLinks::LinkTo(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code code;
  if (folder_.empty()) {
    // The folder's own name must hold no '%' either. Stamped as this process's, so that if it
    // is killed the run that started it removes the folder.
    fs::path base = fs::temp_directory_path(code);
    if (code || base.string().find('%') != std::string::npos) base = "/tmp";
    for (int attempt = 0; attempt < 16 && folder_.empty(); ++attempt) {
      const std::string named = TemporaryPathFor(Utf8OfPath(base / "pexol"));
      registration_ = RegisterTemporaryFolder(named);
      if (fs::create_directory(PathOfUtf8(named), code) && !code) {
        fs::permissions(PathOfUtf8(named), fs::perms::owner_all, code);
        folder_ = PathOfUtf8(named);
        break;
      }
      ForgetTemporary(registration_);
      registration_ = -1;
    }
    if (folder_.empty()) {
      error = Tr("no temporary folder could be made for a link to it");
      return std::nullopt;
    }
  }
  const fs::path target = PathOfUtf8(path);
  // The loader that opens a title's image picks it by its ending.
  std::string extension = target.extension().string();
  if (extension.find('%') != std::string::npos || !XmlCanHold(extension)) extension.clear();
  const fs::path link = folder_ / ("media-" + std::to_string(++count_) + extension);
  fs::create_symlink(fs::absolute(target, code), link, code);
  if (code) fs::copy_file(target, link, code);
  if (code) {
    error = Say("no link to it could be made: {0}", code.message());
    return std::nullopt;
  }
  return Utf8OfPath(link);
}

}  // namespace pexol
