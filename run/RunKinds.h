// run/RunKinds.h - what each kind of run does around its reading: treatment, shares, notes
#pragma once

#include <array>
#include <string_view>

#include "model/Project.h"
#include "sections/SectionTable.h"

namespace pexol {

struct RunKindRow {
  RunKind kind;
  /// The check reads on past clips of no known kind; the others cannot lay out what follows.
  UnknownClips unknownClips;
  std::string_view afterReadingStatus;  ///< status line while the body works; empty keeps it
  int afterReadingShare;                ///< steps after the sections, taken by the body or at once
  bool notesUnreadBytes;                ///< the message tells of bytes after the project
};

// clang-format off
inline constexpr std::array<RunKindRow, runKindCount> runKindTable = {{
  {RunKind::ToText,    UnknownClips::Fail, "",         edlShare, true},
  {RunKind::ToProject, UnknownClips::Fail, "",         0,        true},
  {RunKind::Check,     UnknownClips::Keep, "",         0,        false},
  {RunKind::Export,    UnknownClips::Fail, "[Export]", edlShare, true},
  {RunKind::Relink,    UnknownClips::Fail, "",         edlShare, true},
  {RunKind::Picture,   UnknownClips::Fail, "[Picture]", edlShare, false},
  {RunKind::Render,    UnknownClips::Fail, "[Render]", renderShare, true},
}};
// clang-format on

constexpr const RunKindRow& RowOf(RunKind kind) {
  return runKindTable[static_cast<std::size_t>(kind)];
}

namespace detail {
constexpr bool KindsInOrder() {
  for (std::size_t i = 0; i < runKindTable.size(); ++i)
    if (static_cast<std::size_t>(runKindTable[i].kind) != i) return false;
  return true;
}
}  // namespace detail
static_assert(detail::KindsInOrder(), "the table lists the run kinds in their order");

}  // namespace pexol
