// sections/BinSection.h - the bin window's items in both directions
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sections/RunContext.h"

namespace pexol {

struct BinItem {
  std::string label;
  std::string file;  ///< the media file, or a colour clip name
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t audioRate = 0;
  std::int32_t audioBits = 0;
};

BinItem ReadBinItem(ByteReader& project);
void WriteBinItem(ByteWriter& out, const BinItem& item);

/// The item's line, CR LF included; its layout follows the ending of `file`.
std::string FormatBinLine(const BinItem& item);
/// The item a line stands for.
BinItem ParseBinLine(std::string_view line);

/// Reads `count` items and writes their lines.
void DumpBinSection(ToTextRun& run, std::int32_t count);
/// Consumes the "[BinWindow]" heading and turns `count` lines into items.
void ParseBinSection(ToProjectRun& run, std::int32_t count);
/// Moves the source past `count` items.
void SkipBinRecords(ToProjectRun& run, std::int32_t count);

}  // namespace pexol
