// batch/ProjectFinder.cpp - a walk of folder trees that visits each real folder once
#include "batch/ProjectFinder.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "media/FileIdentity.h"
#include "media/PathText.h"
#include "sections/ClipKind.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

struct Walk {
  std::set<std::string> visited;                     ///< identities of the folders walked
  std::vector<std::pair<fs::path, fs::path>> found;  ///< file, its path below the folder
};

void WalkFolder(const fs::path& folder, const fs::path& below, Walk& walk) {
  const auto identity = FileIdentity(folder);
  if (!identity || !walk.visited.insert(*identity).second) return;
  std::error_code code;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
    entries.push_back(*it);
  for (const fs::directory_entry& entry : entries) {
    const fs::path name = entry.path().filename();
    if (entry.is_directory(code)) {
      WalkFolder(entry.path(), below / name, walk);
    } else if (entry.is_regular_file(code) && EndsWithIgnoreCase(Utf8OfPath(name), ".mpj")) {
      walk.found.emplace_back(entry.path(), below / name);
    }
  }
}

}  // namespace

std::optional<std::vector<BatchProject>> FindProjects(const std::vector<std::string>& folders,
                                                      std::string& error) {
  Walk walk;
  for (const std::string& text : folders) {
    std::error_code code;
    const fs::path folder = fs::absolute(PathOfUtf8(text), code).lexically_normal();
    if (!fs::is_directory(folder, code)) {
      error = Say("\"{0}\" is not a folder; give the folders that hold the projects", text);
      return std::nullopt;
    }
    fs::path below;
    if (folders.size() > 1) {
      const fs::path trimmed = folder.has_filename() ? folder : folder.parent_path();
      below = trimmed.filename();
    }
    WalkFolder(folder, below, walk);
  }
  std::map<std::string, int> uses;
  const auto stemOf = [](const fs::path& relative) {
    return FoldAsciiCase(Utf8OfPath(relative.parent_path() / relative.stem()));
  };
  for (const auto& [file, relative] : walk.found) ++uses[stemOf(relative)];
  std::vector<BatchProject> projects;
  std::set<std::string> taken;
  for (const auto& [file, relative] : walk.found) {
    const fs::path into =
        uses[stemOf(relative)] > 1 ? relative : relative.parent_path() / relative.stem();
    // Output folders are named in UTF-8, a folder named in Shift-JIS decoded, so that every
    // program (a browser following the report's links, an editor) takes them; where two
    // names decode alike, the later keeps its bytes rather than share the other's folder.
    const std::string bytes = Utf8OfPath(into.generic_string());
    std::string named = Utf8PathName(bytes);
    if (!taken.insert(FoldAsciiCase(named)).second) named = bytes;
    projects.push_back({Utf8OfPath(file), named});
  }
  std::sort(projects.begin(), projects.end(),
            [](const BatchProject& a, const BatchProject& b) { return a.into < b.into; });
  return projects;
}

}  // namespace pexol
