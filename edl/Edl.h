// edl/Edl.h - the edit decision list appended to every to-text run
#pragma once

#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunProgress.h"
#include "core/TrackEntries.h"

namespace pexol {

/// Writes the EDL of `entries` in the chosen layout (CSV or fixed columns) and timecode mode.
/// Makes the EDL's 40 progress steps (at once when there are no main clips). Slow clips are
/// worked out as the events are built; the entries are left as they are.
void WriteEdl(TrackEntries& entries, TimecodeMode mode, bool csv, ByteWriter& out,
              RunProgress& progress);

}  // namespace pexol
