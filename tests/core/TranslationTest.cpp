// tests/core/TranslationTest.cpp - catalogues msgfmt made, read back; the language chosen as
// gettext chooses it; English wherever nothing is translated
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/Translation.h"
#include "support/TempFolder.h"

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

// Counts take their language's form: the rules of the header, as gettext's own catalogues write
// them, read from a catalogue msgfmt made; English's two forms where nothing is translated.
TEST(Translation, CountsTakeTheFormTheLanguagesRuleChooses) {
  const auto formsOf = [](std::string_view header, std::initializer_list<std::uint64_t> counts) {
    const std::optional<PluralForms> forms = PluralForms::Parse(header);
    std::string chosen;
    for (const std::uint64_t n : counts)
      chosen += forms ? std::to_string(forms->FormOf(n)) : std::string("-");
    return chosen;
  };
  const std::initializer_list<std::uint64_t> counts = {0, 1, 2, 5, 11, 21, 22, 25, 101, 112};
  EXPECT_EQ(formsOf("nplurals=1; plural=0;", counts), "0000000000");  // Japanese
  EXPECT_EQ(formsOf("Plural-Forms: nplurals=2; plural=(n != 1);\n", counts), "1011111111");
  EXPECT_EQ(formsOf("nplurals=2; plural=(n > 1);", counts), "0011111111");  // French
  const char* polish =
      "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
  EXPECT_EQ(formsOf(polish, counts), "2012221222");
  const char* arabic =
      "nplurals=6; plural=n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 : "
      "n%100>=11 ? 4 : 5;";
  EXPECT_EQ(formsOf(arabic, counts), "0123444454");
  // What gettext would refuse is no rule: the catalogue keeps English's.
  for (const char* wrong : {"nplurals=2; plural=n !=;", "nplurals=0; plural=0;", "plural=n;",
                            "nplurals=2; plural=(n;", "nplurals=2; plural=m != 1;"})
    EXPECT_FALSE(PluralForms::Parse(wrong)) << wrong;
  EXPECT_FALSE(PluralForms::Parse("nplurals=2; plural=" + std::string(10000, '(') + "n" +
                                  std::string(10000, ')') + ";"));
  EXPECT_EQ(formsOf("nplurals=2; plural=n/0 + n%0 + !!n;", {0, 7}), "01");

  EXPECT_EQ(SayN(1, "{0} file was copied.", "{0} files were copied.", 1), "1 file was copied.");
  EXPECT_EQ(SayN(0, "{0} file was copied.", "{0} files were copied.", 0), "0 files were copied.");

#ifndef _WIN32  // the Windows build's tests run under Wine, with no msgfmt
  const test::TempFolder temp;
  const std::filesystem::path folder = temp.Folder();
  std::ofstream(folder / "pl.po") << "msgid \"\"\nmsgstr \"\"\n"
                                     "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                                     "\"Language: pl\\n\"\n\"Plural-Forms: "
                                  << polish
                                  << "\\n\"\n\n"
                                     "msgid \"{0} file was copied.\"\n"
                                     "msgid_plural \"{0} files were copied.\"\n"
                                     "msgstr[0] \"Skopiowano {0} plik.\"\n"
                                     "msgstr[1] \"Skopiowano {0} pliki.\"\n"
                                     "msgstr[2] \"Skopiowano {0} plikow.\"\n";
  const std::string command = "msgfmt --check-format -o '" + (folder / "pl.mo").string() + "' '" +
                              (folder / "pl.po").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(folder / "pl.mo", std::ios::binary);
  const std::optional<Catalogue> catalogue =
      Catalogue::Parse(std::string(std::istreambuf_iterator<char>(in), {}));
  ASSERT_TRUE(catalogue);
  UseCatalogue(catalogue);
  std::string said;
  for (const int n : {1, 3, 5, 22, 112})
    said += SayN(n, "{0} file was copied.", "{0} files were copied.", n) + " ";
  EXPECT_EQ(said,
            "Skopiowano 1 plik. Skopiowano 3 pliki. Skopiowano 5 plikow. Skopiowano 22 pliki. "
            "Skopiowano 112 plikow. ");
  EXPECT_EQ(TrN("a count nobody translated", "counts nobody translated", 5),
            "counts nobody translated");
  UseCatalogue(std::nullopt);
#endif
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
  // A variant keeps its modifier, so that its own catalogue is found before its language's.
  EXPECT_EQ(choose({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "en@pseudo"}}), "en@pseudo");
  EXPECT_EQ(choose({{"LANG", "de_DE.UTF-8@euro"}}), "de@euro");
  EXPECT_EQ(choose({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.eucJP"}}), "ja");
  EXPECT_EQ(choose({{"LANG", "POSIX"}}), "");
}

}  // namespace
}  // namespace pexol
