// model/MediaNames.h - the media names of a project, in file order: read, or rewritten
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/Project.h"

namespace pexol {

/// Calls `visit(section, nullptr)` as each section that names media opens and
/// `visit(section, &name)` for each media name in it, in file order: movies and stills of both
/// video tracks, every extra audio clip, title elements marked as images (when the project has
/// titles), and bin items that are not colour clips.
void ForEachMediaName(const Project& project,
                      const std::function<void(SectionId, const std::string*)>& visit);

/// The rewriting form: `rewrite(section, name)` is given a copy of each media name, in the
/// same order, and returns true when it changed it. Each record with a changed name is written
/// again in its own layout and handed to `rewritten` with the bytes it was read from.
void RewriteMediaNames(
    const Project& project, const std::function<bool(SectionId, std::string&)>& rewrite,
    const std::function<void(std::string_view original, std::string bytes)>& rewritten);

/// One media name of a record being rewritten, with the frames of the file it uses where the
/// record has them: a movie clip's in and out, an extra audio clip's, a bin item's.
struct MediaUse {
  SectionId section;
  std::size_t record;  ///< index in its section
  std::string& name;   ///< a copy of the stored name, to change
  std::int32_t* in;    ///< null for stills, colour clips and title images
  std::int32_t* out;
};

/// The rewriting form that may move a record's frames as well as its name: `rewrite` returns
/// true when it changed either; otherwise as `RewriteMediaNames`.
void RewriteMediaUses(
    const Project& project, const std::function<bool(MediaUse&)>& rewrite,
    const std::function<void(std::string_view original, std::string bytes)>& rewritten);

}  // namespace pexol
