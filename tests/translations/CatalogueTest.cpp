// tests/translations/CatalogueTest.cpp - every text the programs mark is translated in every
// catalogue, whole: no entry missing, unfinished or left over, the same pieces and access keys
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

// The cross build has no template to hold the catalogues against: the helpers go unused there.
namespace {

struct Entry {
  std::string translation;  ///< of a sentence with a count, its first form
  bool fuzzy = false;
  std::string plural;              ///< the English plural of a sentence with a count
  std::vector<std::string> forms;  ///< its translated forms, msgstr[0], msgstr[1]…
};

// A po or pot file's live entries by their English text (its singular where it has a count;
// contexts are not used).
[[maybe_unused]] std::map<std::string, Entry> ReadEntries(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::map<std::string, Entry> entries;
  std::string line, id, text, flags, plural;
  std::vector<std::string> forms;
  std::string* filling = nullptr;
  bool haveId = false;
  const auto close = [&] {
    if (haveId && !id.empty())
      entries[id] = {forms.empty() ? text : forms.front(), flags.find("fuzzy") != std::string::npos,
                     plural, forms};
    id.clear();
    text.clear();
    flags.clear();
    plural.clear();
    forms.clear();
    haveId = false;
    filling = nullptr;
  };
  const auto unquote = [](std::string_view quoted) {
    std::string plain;
    quoted = quoted.substr(quoted.find('"') + 1);
    quoted = quoted.substr(0, quoted.rfind('"'));
    for (std::size_t i = 0; i < quoted.size(); ++i) {
      if (quoted[i] != '\\' || i + 1 == quoted.size()) {
        plain += quoted[i];
        continue;
      }
      const char next = quoted[++i];
      plain += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return plain;
  };
  while (std::getline(in, line)) {
    if (line.starts_with("#,")) {
      if (haveId) close();
      flags += line;
    } else if (line.starts_with("msgid ")) {
      if (haveId) close();
      haveId = true;
      id = unquote(line);
      filling = &id;
    } else if (line.starts_with("msgid_plural ")) {
      plural = unquote(line);
      filling = &plural;
    } else if (line.starts_with("msgstr ")) {
      text = unquote(line);
      filling = &text;
    } else if (line.starts_with("msgstr[")) {
      forms.push_back(unquote(line));
      filling = &forms.back();
    } else if (line.starts_with("\"") && filling != nullptr) {
      *filling += unquote(line);
    } else if (line.empty()) {
      close();
    }
  }
  close();
  return entries;
}

// The pieces ({0}, {1}…) a text fills in, and how many access-key marks (&F) it has.
[[maybe_unused]] std::multiset<std::string> Pieces(const std::string& text) {
  std::multiset<std::string> pieces;
  for (std::size_t at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1)) {
    const std::size_t end = text.find('}', at);
    if (end != std::string::npos && end > at + 1 && end - at <= 3)
      pieces.insert(text.substr(at, end - at + 1));
  }
  return pieces;
}

[[maybe_unused]] int AccessKeys(const std::string& text) {
  int keys = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    keys += std::isalnum(static_cast<unsigned char>(text[i + 1])) ? 1 : 0;
  }
  return keys;
}

TEST(Catalogue, EveryMarkedTextIsTranslatedWholeInEveryLanguage) {
#ifndef PEXOL_CATALOGUE_TEMPLATE
  GTEST_SKIP() << "the template is drawn from the sources by the native build";
#else
  const auto marked = ReadEntries(PEXOL_CATALOGUE_TEMPLATE);
  ASSERT_GT(marked.size(), 100u) << "xgettext found too few texts in " PEXOL_CATALOGUE_TEMPLATE;
  int languages = 0;
  for (const auto& file : std::filesystem::directory_iterator(PEXOL_SOURCE_DIR "/po")) {
    if (file.path().extension() != ".po") continue;
    ++languages;
    const std::string language = file.path().stem().string();
    const auto translated = ReadEntries(file.path());
    std::ostringstream missing, unfinished, unmatched, leftOver;
    for (const auto& [english, source] : marked) {
      const auto found = translated.find(english);
      // A sentence with a count: every form of the language is there, and each fills in what
      // the English plural does (a language's singular may say "one" instead of "{0}").
      const auto& forms = found == translated.end() ? source.forms : found->second.forms;
      const bool formsWhole =
          std::all_of(forms.begin(), forms.end(), [](const std::string& f) { return !f.empty(); });
      const bool formsMatch = std::all_of(forms.begin(), forms.end(), [&](const std::string& form) {
        return Pieces(form) == Pieces(source.plural) || Pieces(form) == Pieces(english);
      });
      if (found == translated.end() || found->second.translation.empty() || !formsWhole ||
          source.plural.empty() != found->second.plural.empty()) {
        missing << "\n  " << english;
      } else if (found->second.fuzzy) {
        unfinished << "\n  " << english;
      } else if (!source.plural.empty()) {
        if (!formsMatch) unmatched << "\n  " << english << "\n  -> " << found->second.translation;
      } else if (found->second.fuzzy) {
        unfinished << "\n  " << english;
      } else if (Pieces(english) != Pieces(found->second.translation) ||
                 AccessKeys(english) != AccessKeys(found->second.translation) ||
                 english.ends_with('\n') != found->second.translation.ends_with('\n')) {
        unmatched << "\n  " << english << "\n  -> " << found->second.translation;
      }
    }
    for (const auto& [english, ignored] : translated)
      if (!marked.contains(english)) leftOver << "\n  " << english;
    const std::string hint = " (run scripts/update-translations, then translate po/" + language +
                             ".po as docs/translating.md says)";
    EXPECT_EQ(missing.str(), "") << language << ": texts with no translation" << hint;
    EXPECT_EQ(unfinished.str(), "") << language << ": translations marked unfinished (fuzzy)";
    EXPECT_EQ(unmatched.str(), "")
        << language << ": translations whose pieces {N}, access keys or closing line differ";
    EXPECT_EQ(leftOver.str(), "") << language << ": translations of texts no program has" << hint;
  }
  EXPECT_GE(languages, 1);
#endif
}

}  // namespace
