// core/ListInWords.h - the choices of a table as a message says them: "a, b or c"
#pragma once

#include <iterator>
#include <string>

#include "core/Translation.h"

namespace pexol {

/// Each item of `items` as `part` words it, joined with ", " and a last " or " (in the chosen
/// language).
template <typename Items, typename Part>
std::string ListInWords(const Items& items, Part part) {
  std::string list;
  std::string last;
  const auto count = std::size(items);
  std::size_t at = 0;
  for (const auto& item : items) {
    if (at + 1 == count && count > 1) {
      last = part(item);
    } else {
      list += at == 0 ? "" : ", ";
      list += part(item);
    }
    ++at;
  }
  // TRANSLATORS: the last of a list of choices, as "mp4, mov or mkv": {0} is "mp4, mov".
  return count > 1 ? Say("{0} or {1}", list, last) : list;
}

}  // namespace pexol
