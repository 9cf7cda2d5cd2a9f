// collect/CollectPlan.cpp - names resolved, files deduplicated and placed below their common folder
#include "collect/CollectPlan.h"

#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <unordered_map>

#include "core/PlatformPath.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "media/FileIdentity.h"
#include "media/PathText.h"
#include "model/MediaNames.h"
#include "sections/ClipKind.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

/// A project's names hold at most this many bytes (as relink also keeps them).
constexpr std::size_t maxNameBytes = 254;

struct Found {
  std::string stored;
  fs::path path;
  std::size_t file = 0;  ///< index into the plan's files
};

// The folder every path lies in (compared component by component).
fs::path CommonFolder(const std::vector<fs::path>& paths) {
  if (paths.empty()) return {};
  fs::path common = paths.front().parent_path();
  for (const fs::path& path : paths) {
    const fs::path folder = path.parent_path();
    fs::path shared;
    for (auto a = common.begin(), b = folder.begin();
         a != common.end() && b != folder.end() && *a == *b; ++a, ++b)
      shared /= *a;
    common = shared;
  }
  return common;
}

// "a/b.avi", "a/b-2.avi", ...: the first that no earlier file took, letter case aside.
std::string FreeName(const std::string& wanted, std::set<std::string>& taken) {
  if (taken.insert(FoldAsciiCase(wanted)).second) return wanted;
  const std::size_t slash = wanted.rfind('/');
  const std::size_t dot = wanted.rfind('.');
  const std::size_t split =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) ? dot
                                                                                  : wanted.size();
  for (int n = 2;; ++n) {
    std::string candidate =
        wanted.substr(0, split) + "-" + std::to_string(n) + wanted.substr(split);
    if (taken.insert(FoldAsciiCase(candidate)).second) return candidate;
  }
}

std::string WindowsName(const std::string& relative) {
  std::string name = "media\\" + relative;
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

// Why the name `stored` cannot become `newName`; nothing when it can.
std::optional<UncollectedName> WhyNotRenamable(const std::string& stored,
                                               const std::string& newName) {
  const std::string shown = DecodeShiftJis(stored).utf8;
  if (!IsValidShiftJis(stored))
    return UncollectedName{
        shown, ToTranslate("its name is not valid Shift-JIS, so it cannot be rewritten"), {}};
  const auto encoded = EncodeShiftJis(newName);
  if (!encoded)
    return UncollectedName{
        shown,
        ToTranslate("its new name \"{0}\" holds {1}, which Shift-JIS cannot hold"),
        {newName, FirstUnencodable(newName)}};
  if (encoded->size() > maxNameBytes)
    return UncollectedName{
        shown,
        ToTranslate(
            "its new name \"{0}\" would be {1} bytes long; a project's names hold at most {2}"),
        {newName, std::to_string(encoded->size()), std::to_string(maxNameBytes)}};
  if (ClipKindOf(*encoded) != ClipKindOf(stored))
    return UncollectedName{
        shown,
        ToTranslate("the file found, \"{0}\", would make it another kind of clip"),
        {newName}};
  return std::nullopt;
}

}  // namespace

CollectPlan PlanCollect(const Project& project, MediaResolver& resolver) {
  CollectPlan plan;
  std::set<std::string> seen;
  std::vector<Found> found;
  std::unordered_map<std::string, std::size_t> fileOfIdentity;
  ForEachMediaName(project, [&](SectionId, const std::string* name) {
    if (name == nullptr || !seen.insert(*name).second) return;
    const MediaResolution resolution = resolver.Resolve(*name);
    const std::string display = DecodeShiftJis(*name).utf8;
    if (resolution.status == MediaStatus::Missing) {
      if (resolution.path.empty())
        plan.missing.push_back({display, {}, {}});
      else
        plan.missing.push_back(
            {display, ToTranslate("last tried: {0}"), {Utf8PathName(resolution.path)}});
      return;
    }
    if (resolution.status == MediaStatus::Ambiguous) {
      std::string candidates;
      for (const std::string& candidate : resolution.candidates)
        candidates += (candidates.empty() ? "" : "; ") + Utf8PathName(candidate);
      plan.ambiguous.push_back({display, ToTranslate("found as {0}"), {candidates}});
      return;
    }
    std::error_code code;
    const fs::path path = fs::absolute(PathOfUtf8(resolution.path), code).lexically_normal();
    const std::string key = FileIdentity(path).value_or(Utf8OfPath(path));
    auto [at, added] = fileOfIdentity.emplace(key, plan.files.size());
    if (added) {
      const std::uintmax_t bytes = fs::file_size(path, code);
      CollectedFile file;
      file.source = Utf8OfPath(path);
      file.bytes = code ? 0 : bytes;
      plan.files.push_back(std::move(file));
    }
    found.push_back({*name, path, at->second});
  });

  std::vector<fs::path> paths;
  for (const CollectedFile& file : plan.files) paths.push_back(PathOfUtf8(file.source));
  const fs::path common = CommonFolder(paths);
  std::set<std::string> taken;
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    std::string relative = Utf8OfPath(paths[i].lexically_relative(common));
#ifdef _WIN32
    for (char& c : relative)
      if (c == '\\') c = '/';
#endif
    // The folder gets UTF-8 names, which every editor and XML document takes, whatever
    // encoding the names had where the files were found.
    plan.files[i].relative = FreeName(Utf8PathName(relative), taken);
  }
  // A movie found as its transcoded twin keeps the name a project can give a movie.
  std::vector<bool> movie(plan.files.size(), false);
  for (const Found& name : found)
    if (ClipKindOf(name.stored) == ClipKind::Movie) movie[name.file] = true;
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    CollectedFile& file = plan.files[i];
    file.asIs = file.relative;
    const std::size_t dot = file.relative.rfind('.');
    if (!movie[i] || ClipKindOf(file.relative) == ClipKind::Movie || dot == std::string::npos ||
        file.relative.find('/', dot) != std::string::npos)
      continue;
    file.relative = FreeName(file.relative.substr(0, dot) + ".avi", taken);
  }

  for (const Found& name : found) {
    CollectedFile& file = plan.files[name.file];
    const std::string newName = WindowsName(file.relative);
    if (std::optional<UncollectedName> why = WhyNotRenamable(name.stored, newName)) {
      plan.leftOut.push_back(std::move(*why));
      continue;
    }
    plan.newNames.emplace(name.stored, newName);
    ++file.names;
    const ClipKind kind = ClipKindOf(name.stored);
    file.movie = file.movie || kind == ClipKind::Movie;
    file.still = file.still || kind == ClipKind::Still;
  }
  // A file no name will lead to is not copied.
  std::vector<std::size_t> newIndex(plan.files.size());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < plan.files.size(); ++i)
    if (plan.files[i].names > 0) newIndex[i] = kept++;
  std::erase_if(plan.files, [](const CollectedFile& file) { return file.names == 0; });
  for (const Found& name : found)
    if (plan.newNames.contains(name.stored))
      plan.fileOfName.emplace(name.stored, newIndex[name.file]);
  for (CollectedFile& file : plan.files) {
    plan.totalBytes += file.bytes;
    file.output = file.asIs;
  }
  return plan;
}

}  // namespace pexol
