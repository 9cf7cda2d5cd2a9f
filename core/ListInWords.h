// core/ListInWords.h - the choices of a table as a message says them: "a, b or c"
#pragma once

#include <iterator>
#include <string>

namespace pexol {

/// Each item of `items` as `part` words it, joined with ", " and a last " or ".
template <typename Items, typename Part>
std::string ListInWords(const Items& items, Part part) {
  std::string list;
  const auto count = std::size(items);
  std::size_t at = 0;
  for (const auto& item : items) {
    list += at == 0 ? "" : at + 1 == count ? " or " : ", ";
    list += part(item);
    ++at;
  }
  return list;
}

}  // namespace pexol
