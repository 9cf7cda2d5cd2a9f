// tests/pages/SameInEveryLanguage.h - the texts a window shows alike in every language (names,
// formats and signs), which the tests holding both windows to the catalogue let pass
#pragma once

#include <set>
#include <string>

#include "app/pages/Language.h"
#include "export/ExportFormats.h"

namespace pexol::test {

inline std::set<std::string> SameInEveryLanguage() {
  std::set<std::string> names = {"CSV",   "PAL", "FRAME", "Corvane, Brisko", "Lumetta",
                                 "PEXOL", "...", "->",    "C:\\Video",       "OK",
                                 "1:1",   "+",   "\u2212"};
  // The languages, each by its name in itself.
  for (const pages::LanguageChoice& choice : pages::LanguageChoices())
    if (!choice.code.empty()) names.emplace(choice.name);
  for (const ExportFormat& format : ExportFormats()) {
    names.emplace(format.label);
    // A format's own options take values such as timecodes, the same in every language.
    for (const FormatOption& option : format.options)
      names.insert(option.choices.begin(), option.choices.end());
  }
  return names;
}

}  // namespace pexol::test
