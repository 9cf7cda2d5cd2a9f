// edl/Timecode.h - frame numbers as EDL positions and transition lengths
#pragma once

#include <cstdint>
#include <string>

#include "core/Options.h"

namespace pexol {

/// Appends the position text of `frame`: "hh:mm:ss;ff" (drop frame labels), "hh:mm:ss:ff"
/// (PAL, NTSC non-drop) or "%6d" (plain frames). Hours are not wrapped at 24, so 100 hours
/// and more print three or more digits. Negative parts keep their minus sign ("00:00:00:-1");
/// a negative frame in drop frame mode prints 00:00:00;00.
void AppendTimecode(std::string& text, TimecodeMode mode, std::int32_t frame);

/// Appends the length text of `frames`: "ss:ff" on a 30-frame (both NTSC modes) or 25-frame
/// second, or "%5d" in plain frame mode. There is no minutes field: 60 seconds wrap to 00.
void AppendDuration(std::string& text, TimecodeMode mode, std::int32_t frames);

/// AppendTimecode into a fresh text.
std::string FormatTimecode(TimecodeMode mode, std::int32_t frame);

/// AppendDuration into a fresh text.
std::string FormatDuration(TimecodeMode mode, std::int32_t frames);

/// The drop frame label of `frame`: a count on a 30-frame clock in which labels 00 and 01 of
/// every minute not divisible by ten are skipped. Negative frames give 0. Labels past the
/// int32 range wrap to negative values and keep skipping on the wrapped value, as a 32-bit
/// counter stepping up from 0 would.
std::int32_t DropFrameLabel(std::int32_t frame);

}  // namespace pexol
