// edl/Edl.cpp - picks the EDL layout of a to-text run
#include "edl/Edl.h"

#include "edl/ColumnarEdl.h"
#include "edl/CsvEdl.h"

namespace pexol {

void WriteEdl(const Timeline& timeline, TimecodeMode mode, bool csv, ByteWriter& out,
              RunProgress& progress) {
  if (csv) {
    WriteCsvEdl(timeline, mode, out, progress);
  } else {
    WriteColumnarEdl(timeline, mode, out, progress);
  }
}

}  // namespace pexol
