// tests/translations/CatalogueTest.cpp - every text the programs mark is translated in every
// catalogue, whole: no entry missing, unfinished or left over, the same pieces and access keys;
// the Japanese one says each term as the glossary does
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

// A row of the glossary: an English term and its Japanese.
struct Term {
  std::string english;
  std::string japanese;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream row(line.substr(1));
  for (std::string cell; std::getline(row, cell, '|');) {
    const auto first = cell.find_first_not_of(' ');
    cells.push_back(first == std::string::npos
                        ? ""
                        : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
  }
  return cells;
}

// "source / destination file", "bin, bin item": the terms a cell names, its notes in
// parentheses left out.
std::vector<std::string> TermsOf(std::string cell) {
  for (std::size_t open = cell.find(" ("); open != std::string::npos; open = cell.find(" (")) {
    const std::size_t close = cell.find(')', open);
    cell.erase(open, close == std::string::npos ? std::string::npos : close + 1 - open);
  }
  std::vector<std::string> terms;
  for (std::size_t at = 0; at <= cell.size();) {
    std::size_t end = std::min(cell.find(" / ", at), cell.find(", ", at));
    terms.push_back(cell.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + (cell.compare(end, 3, " / ") == 0 ? 3 : 2);
  }
  return terms;
}

// The glossary's terms, and for each term of two senses the English phrases of its other
// sense ("*" for all of them).
[[maybe_unused]] std::pair<std::vector<Term>, std::map<std::string, std::vector<std::string>>>
ReadGlossary(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<Term> terms;
  std::map<std::string, std::vector<std::string>> otherSenses;
  int table = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("| ")) continue;
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() < 2 || cells[0].starts_with("---")) continue;
    if (cells[0] == "English" || cells[0] == "term") {
      table = cells[0] == "English" ? 1 : 2;
      continue;
    }
    if (table == 2) {
      for (const std::string& term : TermsOf(cells[0])) {
        std::stringstream phrases(cells[1]);
        for (std::string phrase; std::getline(phrases, phrase, ';');)
          otherSenses[Lower(term)].push_back(Lower(phrase.substr(phrase.find_first_not_of(' '))));
      }
      continue;
    }
    const std::vector<std::string> english = TermsOf(cells[0]);
    const std::vector<std::string> japanese = TermsOf(cells[1]);
    if (english.size() != japanese.size()) continue;
    for (std::size_t i = 0; i < english.size(); ++i)
      if (english[i].find("…") == std::string::npos && japanese[i].find("…") == std::string::npos &&
          english[i].find(" N") == std::string::npos)
        terms.push_back({english[i], japanese[i]});
  }
  return {terms, otherSenses};
}

// Where `english` uses `term` (or its plural) as a word of its own, not a name: not in
// capitals (FOLDER), single quotes ('collect'), brackets ([Header]), an option, a path or a
// file name (media/, report.html), nor within a phrase of its other sense.
[[maybe_unused]] bool UsesTerm(const std::string& english, const std::string& term,
                               const std::vector<std::string>& otherSenses) {
  const std::string lower = Lower(english);
  const std::string plain = Lower(term);
  std::vector<std::string> forms = {plain + "s", plain + "es", plain};
  if (plain.ends_with('y')) forms.insert(forms.begin(), plain.substr(0, plain.size() - 1) + "ies");
  const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  for (const std::string& form : forms)
    for (std::size_t at = lower.find(form); at != std::string::npos;
         at = lower.find(form, at + 1)) {
      const std::size_t end = at + form.size();
      const char before = at == 0 ? ' ' : lower[at - 1];
      const char after = end == lower.size() ? ' ' : lower[end];
      if (word(before) || std::string_view("/.\\-_['").find(before) != std::string_view::npos ||
          word(after) || std::string_view("/-_']").find(after) != std::string_view::npos ||
          (after == '.' && end + 1 < lower.size() && word(lower[end + 1])))
        continue;
      const std::string_view written(english.data() + at, form.size());
      if (written.size() > 1 && std::all_of(written.begin(), written.end(), [](char c) {
            return !std::islower(static_cast<unsigned char>(c));
          }))
        continue;
      const bool other =
          std::any_of(otherSenses.begin(), otherSenses.end(), [&](const std::string& phrase) {
            for (std::size_t p = lower.find(phrase); p != std::string::npos;
                 p = lower.find(phrase, p + 1))
              if (p <= at && end <= p + phrase.size()) return true;
            return false;
          });
      if (!other) return true;
    }
  return false;
}

// A Japanese term that ends in し names its verb too: 書き出し is also 書き出す, 書き出せ.
[[maybe_unused]] bool SaysTerm(const std::string& japanese, const std::string& term) {
  static const std::string shi = "し";
  if (japanese.find(term) != std::string::npos) return true;
  return term.ends_with(shi) && term.size() > shi.size() &&
         japanese.find(term.substr(0, term.size() - shi.size())) != std::string::npos;
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

// Every Japanese entry whose English has a term of docs/glossary-ja.md says it as the glossary
// does, except where the glossary lists the term's other sense.
TEST(Catalogue, JapaneseSaysEachTermAsTheGlossaryDoes) {
  const auto [terms, otherSenses] = ReadGlossary(PEXOL_SOURCE_DIR "/docs/glossary-ja.md");
  ASSERT_GT(terms.size(), 50u) << "the glossary's table was not read";
  ASSERT_TRUE(otherSenses.contains("still")) << "the glossary's terms of two senses were not read";
  const auto entries = ReadEntries(PEXOL_SOURCE_DIR "/po/ja.po");
  std::ostringstream astray;
  int checked = 0;
  for (const Term& term : terms) {
    const auto found = otherSenses.find(Lower(term.english));
    static const std::vector<std::string> none;
    const std::vector<std::string>& other = found == otherSenses.end() ? none : found->second;
    if (other.size() == 1 && other.front() == "*") continue;
    for (const auto& [english, entry] : entries) {
      if (!UsesTerm(english, term.english, other)) continue;
      ++checked;
      if (!SaysTerm(entry.translation, term.japanese))
        astray << "\n  " << term.english << " (" << term.japanese << "): " << english << "\n  -> "
               << entry.translation;
    }
  }
  EXPECT_GT(checked, 500);
  EXPECT_EQ(astray.str(), "") << "ja: translations that do not use the glossary's term (fix the "
                                 "translation, or list the term's other sense in the glossary)";
}

// The check itself: a term as a word or plural, not a name, not in its other sense.
TEST(Catalogue, GlossaryTermsAreFoundAsWordsNotNames) {
  const std::vector<std::string> none;
  EXPECT_TRUE(UsesTerm("2 clips were found", "clip", none));
  EXPECT_TRUE(UsesTerm("Export completed", "export", none));
  EXPECT_TRUE(UsesTerm("3 bin entries", "entry", none));
  EXPECT_FALSE(UsesTerm("clipboard", "clip", none));
  EXPECT_FALSE(UsesTerm("copied into media/", "media", none));
  EXPECT_FALSE(UsesTerm("write report.html", "report", none));
  EXPECT_FALSE(UsesTerm("write PREFIX=FOLDER", "folder", none));
  EXPECT_FALSE(UsesTerm("starts with [Header]", "header", none));
  EXPECT_FALSE(UsesTerm("run 'collect' instead", "collect", none));
  EXPECT_FALSE(UsesTerm("give --render with it", "render", none));
  EXPECT_FALSE(UsesTerm("errors still go there", "still", {"still go"}));
  EXPECT_TRUE(UsesTerm("errors still go there, a still too", "still", {"still go"}));
  EXPECT_TRUE(SaysTerm("書き出す形式", "書き出し"));
  EXPECT_FALSE(SaysTerm("出力する", "書き出し"));
}

}  // namespace
