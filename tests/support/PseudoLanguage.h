// tests/support/PseudoLanguage.h - what a text shown under the pseudo-language (en@pseudo) holds
// that came through no catalogue entry: the catalogue brackets every text ⟦like this⟧
#pragma once

#include <algorithm>
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

}  // namespace pexol::test
