// relink/RelinkProject.h - media names of a project rewritten by prefix, the rest kept byte for
// byte
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextEncoding.h"
#include "media/PathMap.h"
#include "model/MediaNames.h"
#include "model/Project.h"

namespace pexol {

/// One rule of a relink: names under the Windows folder `prefix` move under `replacement`.
/// Both are UTF-8 and in the project's own name space (Windows paths).
std::optional<MapRule> ParseRelinkRule(std::string_view text, std::string& error);

/// One name that a relink changes.
struct NameChange {
  std::string section;  ///< the heading of the section it is in
  std::string before;   ///< UTF-8
  std::string after;    ///< UTF-8
};

/// The project's bytes with every media name that a rule matches rewritten: main and insert
/// movies and stills, extra audio clips, title images and bin items. The rule with the
/// longest matching prefix applies to the decoded name; the result is encoded back to
/// Shift-JIS. Records with no changed name keep their bytes, and so do names no rule matches.
/// `changed` hears of each change in file order. Throws `RunFailure` when a new name cannot be
/// held in Shift-JIS, or a matching name is not valid Shift-JIS.
std::string RelinkProject(std::span<const std::uint8_t> bytes, const Project& project,
                          const PathMap& rules,
                          const std::function<void(const NameChange&)>& changed);

/// The new UTF-8 name (a Windows path) for a stored name, given also decoded; nullopt keeps it.
using NewMediaName = std::function<std::optional<std::string>(
    std::string_view stored, const DecodedName& decoded, SectionId section)>;

/// The new UTF-8 name for a record's media name (nullopt keeps it); it may also move the
/// record's frames (`use.in`, `use.out`, where the record has them), as a collect that trimmed
/// the file does.
using NewMediaUse =
    std::function<std::optional<std::string>(MediaUse& use, const DecodedName& decoded)>;

/// The same rewriting with the new names chosen by `newName` instead of by folder rules.
std::string RenameMediaNames(std::span<const std::uint8_t> bytes, const Project& project,
                             const NewMediaName& newName,
                             const std::function<void(const NameChange&)>& changed);

/// The same rewriting record by record: names and frames chosen by `newName`; a record whose
/// name and frames stay keeps its bytes.
std::string RenameMediaUses(std::span<const std::uint8_t> bytes, const Project& project,
                            const NewMediaUse& newName,
                            const std::function<void(const NameChange&)>& changed);

}  // namespace pexol
