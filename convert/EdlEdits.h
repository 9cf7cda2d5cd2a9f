// convert/EdlEdits.h - edits made after "[END]", where the text-to-project run reads nothing
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/Project.h"

namespace pexol {

/// A warning when the lines after the first "[END]" line of `text` are not an EDL that
/// `source` gives (in any timecode mode, columns or CSV, line ends and trailing blanks
/// aside): the EDL is written from the project and never read back, so such edits are lost.
/// nullopt when they are, or when there is nothing after "[END]".
std::optional<std::string> EdlEditsWarning(const Project& source, std::string_view text, bool utf8);

}  // namespace pexol
