// edl/Edl.h - the edit decision list appended to every to-text run
#pragma once

#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunProgress.h"
#include "model/Timeline.h"

namespace pexol {

/// The EDL's steps of a run's 200-step bar, after "[END]"; a run whose work after reading
/// weighs as much takes as many.
constexpr int edlShare = 40;

/// Writes the EDL of `timeline` in the chosen layout (CSV or fixed columns) and timecode mode.
/// Makes the EDL's 40 progress steps (at once when there are no main clips).
void WriteEdl(const Timeline& timeline, TimecodeMode mode, bool csv, ByteWriter& out,
              RunProgress& progress);

}  // namespace pexol
