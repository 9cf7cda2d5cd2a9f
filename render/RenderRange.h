// render/RenderRange.h - the part of a timeline a render covers, from --from and --to
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Options.h"

namespace pexol {

/// The frame `text` names: a frame number ("1800") or a timecode in `mode`'s rate
/// ("00:01:00;00" drop frame, "00:01:00:00" non-drop and PAL; ';' or ':' before the frames).
/// nullopt when it is neither, or names a frame past 2^31.
std::optional<std::int64_t> ParseFramePosition(std::string_view text, TimecodeMode mode);

/// The message for `from` or `to` (each empty or a position) when one names no frame; empty
/// when both do.
std::string PositionError(const std::string& from, const std::string& to, TimecodeMode mode);

/// Frames [first, end) of a timeline `length` frames long; nullopt, with `error` set, when the
/// given positions do not name a part of it or the part is longer than `maxFrames`.
struct FrameRange {
  std::int64_t first = 0;
  std::int64_t end = 0;
};
std::optional<FrameRange> RangeOf(std::int64_t length, const std::string& from,
                                  const std::string& to, TimecodeMode mode, std::int64_t maxFrames,
                                  std::string& error);

}  // namespace pexol
