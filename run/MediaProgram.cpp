// run/MediaProgram.cpp - the media program found beside this one or where the package puts it
#include "run/MediaProgram.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "media/PathText.h"
#include "run/ProcessPool.h"

namespace pexol {

std::string MediaProgram() {
  namespace fs = std::filesystem;
  if (const char* named = std::getenv("PEXOL_RENDER"); named != nullptr && *named != '\0')
    return named;
  const fs::path folder = PathOfUtf8(ThisProgram()).parent_path();
  // The build tree's window lies a folder above the command-line programs.
  for (const fs::path& candidate :
       {folder / "pexol-render", folder.parent_path() / "libexec" / "pexol" / "pexol-render",
        folder / "cli" / "pexol-render"}) {
    std::error_code code;
    if (fs::is_regular_file(candidate, code) && ::access(candidate.c_str(), X_OK) == 0)
      return Utf8OfPath(candidate);
  }
  return {};
}

}  // namespace pexol
