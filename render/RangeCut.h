// render/RangeCut.h - a laid-out timeline cut down to what a range of it shows and plays
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "layout/ExportTimeline.h"

namespace pexol {

/// Makes a gap of every clip that shows or plays no frame of [first, end) (counting the frames
/// it feeds into a transition), and drops the transitions that led from such a clip, so that a
/// render of the range loads and opens only the media the range uses. Frames inside the range
/// are as before; positions do not move. Tracks left without a clip are emptied (V1 keeps
/// its gaps), so no compositing is done for them; runs of gaps become one gap, and gaps past
/// the range go.
void CutToRange(ExportTimeline& timeline, std::int64_t first, std::int64_t end);

/// The stored names of the media files and title images the pieces of `timeline` use.
std::set<std::string> MediaUsed(const ExportTimeline& timeline);

}  // namespace pexol
