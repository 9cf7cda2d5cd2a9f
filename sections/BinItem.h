// sections/BinItem.h - one item of the bin window: its record layout and its line
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sections/RecordWalk.h"

namespace pexol {

struct BinItem {
  std::string label;
  std::string file;  ///< the media file, or a colour clip name
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t audioRate = 0;
  std::int32_t audioBits = 0;
  bool operator==(const BinItem&) const = default;
};

template <class Walker>
void WalkBinItem(Walker& w, BinItem& item) {
  w.String(item.label);
  w.String(item.file);
  w.Dword(item.in);
  w.Dword(item.out);
  w.Dword(item.audioRate);
  w.Dword(item.audioBits);
}

/// True for an item that names a file: every item but a colour clip (a sound file too,
/// whatever its name ends in).
bool NamesMediaFile(const BinItem& item);

/// The item's line, CR LF included; its layout follows the ending of `file`.
std::string FormatBinLine(const BinItem& item);
/// The item a line stands for. `source`, the item the line was written from (names as the
/// text shows them), gives what the line does not show: the audio of still and colour items,
/// a colour item's label and type digit, and the colours that pass unchecked. Throws
/// `FieldError` when a field does not read as the layout of the item's kind says.
BinItem ParseBinLine(std::string_view line, const BinItem* source = nullptr);

}  // namespace pexol
