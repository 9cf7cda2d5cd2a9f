// core/CountedText.cpp - sentences with a count kept in tables, and patterns filled with pieces
// counted at run time
#include "core/CountedText.h"

#include "core/PluralForms.h"

namespace pexol {

std::string_view EnglishN(CountedText text, std::uint64_t n) {
  static const PluralForms english = PluralForms::English();
  return english.FormOf(n) == 0 ? text.singular : text.plural;
}

std::string FillAll(std::string_view pattern, const std::vector<std::string>& pieces) {
  // A number past the pieces stays as written, as Fill leaves it.
  static constexpr std::string_view unfilled[] = {"{0}", "{1}", "{2}", "{3}", "{4}",
                                                  "{5}", "{6}", "{7}", "{8}", "{9}"};
  const auto at = [&pieces](std::size_t i) {
    return i < pieces.size() ? std::string_view(pieces[i]) : unfilled[i];
  };
  return Fill(pattern, {at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9)});
}

}  // namespace pexol
