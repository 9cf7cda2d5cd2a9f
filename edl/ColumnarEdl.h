// edl/ColumnarEdl.h - the EDL as fixed-width columns
#pragma once

#include <string>

#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunProgress.h"
#include "edl/EdlEvents.h"
#include "model/Timeline.h"

namespace pexol {

/// Writes the two heading lines of `mode`, then one line per event of `timeline`; takes the
/// EDL's progress steps (all at once when there are no main clips).
void WriteColumnarEdl(const Timeline& timeline, TimecodeMode mode, ByteWriter& out,
                      RunProgress& progress);

/// Appends the line of one event, CR LF included. Wider values (event 1000 and on, 100 hours
/// and more) are never cut: they push the rest of the line right. The name is copied byte for
/// byte; a zero-length cut ends after its recorder out.
void AppendColumnarLine(std::string& line, const EdlEvent& event, TimecodeMode mode);

}  // namespace pexol
