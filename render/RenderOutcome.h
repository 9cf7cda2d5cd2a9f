// render/RenderOutcome.h - what a render adds to its result, and its messages
#pragma once

#include <string>
#include <string_view>

#include "core/Translation.h"
#include "run/WrittenOutcome.h"

namespace pexol {

/// What a render wrote: its length and the time it took.
using RenderOutcome = WrittenOutcome;

inline constexpr std::string_view cannotRender = ToTranslate("Can not render the timeline");
inline constexpr std::string_view cannotJoin = ToTranslate("Can not join the rendered ranges");

/// "render completed", the file written, its length as `length` (a timecode) and in frames,
/// and the time taken.
std::string RenderCompletedMessage(std::string_view source, std::string_view destination,
                                   std::string_view length, const RenderOutcome& outcome);
/// "render stopped": the partial file was removed, the destination left as it was.
std::string RenderStoppedMessage(std::string_view source, std::string_view destination);
/// "join stopped": the same for a join.
std::string JoinStoppedMessage(std::string_view destination);

}  // namespace pexol
