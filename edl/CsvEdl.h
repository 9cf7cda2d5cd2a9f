// edl/CsvEdl.h - the EDL as comma-separated values
#pragma once

#include <string>

#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunProgress.h"
#include "edl/EdlEvents.h"
#include "model/Timeline.h"

namespace pexol {

/// Writes the heading line, then one line per event of `timeline`; takes the EDL's progress
/// steps (all at once when there are no main clips).
void WriteCsvEdl(const Timeline& timeline, TimecodeMode mode, ByteWriter& out,
                 RunProgress& progress);

/// Appends the line of one event, CR LF included. Nothing is escaped: a quote or comma in a
/// clip name is written as it is. A missing transition length is an empty unquoted field; a
/// zero-length cut has no name field.
void AppendCsvLine(std::string& line, const EdlEvent& event, TimecodeMode mode);

}  // namespace pexol
