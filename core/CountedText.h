// core/CountedText.h - sentences with a count kept in tables, and patterns filled with pieces
// counted at run time
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Translation.h"

namespace pexol {

/// A sentence with a count, both its English forms, kept in a table or a constant.
struct CountedText {
  std::string_view singular;
  std::string_view plural;
};

/// Marks a sentence with a count for the catalogue where it is kept: `SayN` shows it in the
/// chosen language, `EnglishN` gives its English form for a file a run writes.
constexpr CountedText ToTranslateN(std::string_view singular, std::string_view plural) {
  return {singular, plural};
}

/// The English form the count `n` takes, whatever the chosen language.
std::string_view EnglishN(CountedText text, std::uint64_t n);

/// `SayN` for a sentence kept with `ToTranslateN`.
template <std::integral Count, class... Pieces>
std::string SayN(Count count, CountedText text, const Pieces&... pieces) {
  return SayN(count, text.singular, text.plural, pieces...);
}

/// `Fill` with pieces counted at run time (up to ten).
std::string FillAll(std::string_view pattern, const std::vector<std::string>& pieces);

}  // namespace pexol
