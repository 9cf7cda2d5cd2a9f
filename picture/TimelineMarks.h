// picture/TimelineMarks.h - the picture's marks: the ruler's round timecodes, the missing-media
// hatching and labels cut to their boxes
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Options.h"
#include "picture/SvgWriter.h"

namespace pexol {

/// A ruler tick: labelled ticks stand at round timecodes, the others between them.
struct RulerTick {
  std::int64_t frame = 0;
  std::string label;  ///< empty for a tick between labels
};

/// The ticks from frame 0 to `end`: a label every 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 30 min,
/// 1, 2 or 6 h (round frame numbers for frame counts), the first step whose labels stand
/// `minSpacing` pixels apart (past the last, it doubles until they do: the ticks are bounded by
/// the pixels, not the frames), each the timecode of the frame that second starts on (in drop
/// frame a minute that drops its first two labels starts at ";02").
std::vector<RulerTick> RulerTicks(std::int64_t end, TimecodeMode mode, double pixelsPerFrame,
                                  double minSpacing = 90);
/// The same ruler's ticks from frame `from` to `to` alone (a window's view of a long timeline):
/// as many as those frames have room for, however long the timeline is.
std::vector<RulerTick> RulerTicks(std::int64_t from, std::int64_t to, TimecodeMode mode,
                                  double pixelsPerFrame, double minSpacing = 90);

/// Draws over a box what no colour clip can look like: a hatched (unless `hatched` is false),
/// crossed box with a dashed red outline.
void DrawMissingMark(SvgWriter& svg, double x, double y, double width, double height,
                     bool hatched = true);

/// `label` cut to what fits `width` at `fontSize`, ending in "…" when cut (an estimate: the
/// viewer's font is not known here); empty when not even one character and "…" fit.
std::string FittedLabel(const std::string& label, double width, double fontSize);

}  // namespace pexol
