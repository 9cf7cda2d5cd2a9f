// tests/support/PseudoLanguage.h - what a text shown under the pseudo-language (en@pseudo) holds
// that came through no catalogue entry: the catalogue brackets every text ⟦like this⟧
#pragma once

#include <algorithm>
#include <regex>
#include <set>
#include <string>

namespace pexol::test {

/// The pseudo-language's brackets.
inline const std::string pseudoOpen = "\xe2\x9f\xa6", pseudoClose = "\xe2\x9f\xa7";  // ⟦ ⟧

/// `text` with every bracketed text (nested ones too) blanked: what is left was made without
/// the catalogue, or is a name put into a translated sentence.
inline std::string OutsideTheCatalogue(const std::string& text) {
  std::string outside;
  int depth = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, pseudoOpen.size(), pseudoOpen) == 0) {
      ++depth;
      at += pseudoOpen.size();
    } else if (text.compare(at, pseudoClose.size(), pseudoClose) == 0) {
      depth = std::max(0, depth - 1);
      at += pseudoClose.size();
      outside += ' ';
    } else {
      outside += depth == 0 ? text[at] : ' ';
      ++at;
    }
  }
  return outside;
}

/// Under the pseudo-language, the English words of `text` that came through no catalogue entry,
/// past paths, option names, capitalised abbreviations, file names, numbers and `names` (texts
/// the same in every language); empty when it all came from the catalogue.
inline std::string WordsOutsideTheCatalogue(const std::string& text,
                                            const std::set<std::string>& names) {
  if (names.contains(text)) return {};
  std::string left = OutsideTheCatalogue(text);
  for (const char* pattern :
       {R"([\w.~:\\]*[/\\][\w./\\ -]*)", R"(--?[a-z][a-z0-9-]*)", R"(\b[A-Z][A-Z0-9_]+\b)",
        R"([\w.*-]*\.[a-z0-9]{2,4}\b)", R"(\d+\w*)"})
    left = std::regex_replace(left, std::regex(pattern), " ");
  std::string words;
  static const std::regex word("[A-Za-z]{2,}");
  for (auto match = std::sregex_iterator(left.begin(), left.end(), word);
       match != std::sregex_iterator(); ++match)
    if (!names.contains(match->str())) words += (words.empty() ? "" : " ") + match->str();
  return words;
}

}  // namespace pexol::test
