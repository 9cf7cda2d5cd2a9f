// tests/core/TranslationTest.cpp - catalogues msgfmt made, read back; the language chosen as
// gettext chooses it; English wherever nothing is translated
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "core/Translation.h"

namespace pexol {
namespace {

std::string CatalogueBytes(const std::string& language) {
  std::ifstream in(std::string(PEXOL_LOCALE_DIR) + "/" + language + "/LC_MESSAGES/pexol.mo",
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Translation, TheJapaneseCatalogueReadsBackAndLeavesTheRestEnglish) {
  const std::string bytes = CatalogueBytes("ja");
  ASSERT_FALSE(bytes.empty()) << "msgfmt made no catalogue in " << PEXOL_LOCALE_DIR;
  const std::optional<Catalogue> japanese = Catalogue::Parse(bytes);
  ASSERT_TRUE(japanese);
  EXPECT_EQ(japanese->Find("export"), "書き出し");
  EXPECT_EQ(japanese->Find("missing media"), "見つからない素材");
  EXPECT_EQ(japanese->Find("a text nobody translated"), "a text nobody translated");
  // What is cut short or not a catalogue is none, never a partial one.
  EXPECT_FALSE(Catalogue::Parse(bytes.substr(0, bytes.size() / 2)));
  EXPECT_FALSE(Catalogue::Parse("not a catalogue at all, though long enough"));

  EXPECT_EQ(Tr("export"), "export");
  UseCatalogue(japanese);
  EXPECT_EQ(Tr("export"), "書き出し");
  UseCatalogue(std::nullopt);
  EXPECT_EQ(Tr("export"), "export");
}

TEST(Translation, SentencesTakeTheirPiecesInTheOrderTheTranslationAsks) {
  EXPECT_EQ(Fill("{0}: ends at byte {1}.", {"a.mpj", "12"}), "a.mpj: ends at byte 12.");
  EXPECT_EQ(Fill("{1} バイト目で {0} が終わります。", {"a.mpj", "12"}),
            "12 バイト目で a.mpj が終わります。");
  // Braces doubled are braces; a number past the pieces or not a number stays as written.
  EXPECT_EQ(Fill("{{0}} {2} {x} {", {"a"}), "{0} {2} {x} {");
  EXPECT_EQ(Say("{0} of {1} frames", 3, std::string("ten")), "3 of ten frames");
}

TEST(Translation, TheLanguageIsChosenAsGettextChoosesIt) {
  const auto choose = [](std::map<std::string, std::string> variables) {
    return LanguageOfEnvironment([&](const char* name) -> const char* {
      const auto found = variables.find(name);
      return found == variables.end() ? nullptr : found->second.c_str();
    });
  };
  EXPECT_EQ(choose({}), std::nullopt);
  EXPECT_EQ(choose({{"LANG", "ja_JP.UTF-8"}}), "ja");
  EXPECT_EQ(choose({{"LANG", "C"}}), "");
  EXPECT_EQ(choose({{"LANG", "C.UTF-8"}, {"LANGUAGE", "ja"}}), "");  // C turns LANGUAGE off
  EXPECT_EQ(choose({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja:en"}}), "ja");
  EXPECT_EQ(choose({{"LANG", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}), "");
  EXPECT_EQ(choose({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.eucJP"}}), "ja");
  EXPECT_EQ(choose({{"LANG", "POSIX"}}), "");
}

}  // namespace
}  // namespace pexol
