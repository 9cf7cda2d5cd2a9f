// edl/Edl.cpp - picks the EDL layout of a to-text run
#include "edl/Edl.h"

#include "edl/ColumnarEdl.h"
#include "edl/CsvEdl.h"

namespace pexol {

void WriteEdl(TrackEntries& entries, TimecodeMode mode, bool csv, ByteWriter& out,
              RunProgress& progress) {
  if (csv) {
    WriteCsvEdl(entries, mode, out, progress);
  } else {
    WriteColumnarEdl(entries, mode, out, progress);
  }
}

}  // namespace pexol
