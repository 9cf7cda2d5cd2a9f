// tests/translations/TranslatedFilesTest.cpp - the files a person reads beside the programs (the
// thumbnailer's manual page, the desktop entry, the AppStream metadata, the installer's texts)
// take every text from the catalogue of each language po/LINGUAS lists
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/CommandOutput.h"
#include "support/PseudoLanguage.h"
#include "support/TempFolder.h"

namespace pexol::test {

namespace {

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The English words of `text` outside the pseudo-language's brackets, past roff's requests and
// fonts, names in capitals (SOURCE, PNG), the programs' names, paths and numbers.
std::string EnglishLeft(const std::string& text) {
  std::string left = OutsideTheCatalogue(text);
  for (const char* pattern : {R"((^|\n)\.[A-Z]+)", R"(\\f[A-Z]|\\-)", R"(\b[A-Z][A-Z0-9_-]+\b)",
                              R"(pexol[\w.-]*)", R"([\w.~]*/[\w./-]*)", R"(\.mpj|\d+)"})
    left = std::regex_replace(left, std::regex(pattern), " ");
  std::string words;
  const std::regex word("[A-Za-z]{2,}");
  for (auto match = std::sregex_iterator(left.begin(), left.end(), word);
       match != std::sregex_iterator(); ++match)
    words += match->str() + " ";
  return words;
}

// Runs `command` through the shell; its exit status, with what it printed in `printed`.
int RunShell(const std::string& command, std::string& printed) {
  printed = Output(command + " 2>&1; echo \"exit $?\"");
  const std::size_t last = printed.rfind("exit ");
  const int status = std::stoi(printed.substr(last + 5));
  printed.resize(last);
  return status;
}

const std::filesystem::path build = PEXOL_BUILD_DIR, source = PEXOL_SOURCE_DIR;

}  // namespace

// The page made for each language says all of it in that language, its texts whole (a
// sentence split by a semicolon or a parenthesis would come back half English), and the
// English page keeps every text the template marks, unmarked.
TEST(TranslatedFilesTest, TheThumbnailersManualPageIsTranslatedWhole) {
  const std::string template_ = ReadWhole(source / "packaging/linux/pexol-thumbnailer.1.in");
  const std::size_t marked = std::count(template_.begin(), template_.end(), '\n');
  for (const char* language : {"ja", "en@pseudo"}) {
    const std::string page =
        ReadWhole(build / "packaging/linux" / language / "pexol-thumbnailer.1");
    ASSERT_FALSE(page.empty()) << language;
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), marked) << language;
    EXPECT_EQ(EnglishLeft(page), "") << language << ":\n" << page;
    EXPECT_EQ(page.find("_("), std::string::npos) << page;
  }
  const std::string english = ReadWhole(build / "packaging/linux/pexol-thumbnailer.1");
  EXPECT_EQ(english.find("_("), std::string::npos) << english;
  EXPECT_NE(english.find("it is seldom run by hand.\n"), std::string::npos) << english;
  EXPECT_NE(english.find(".SH EXIT STATUS\n0 when the thumbnail was written; 1 when"),
            std::string::npos)
      << english;
  // Its texts are in the template the translators work from.
  const std::string catalogueTemplate = ReadWhole(PEXOL_CATALOGUE_TEMPLATE);
  for (const char* text :
       {"msgid \"draw a video project's timeline as a thumbnail\"", "msgid \"December 2026\"",
        "seldom run by hand.", "msgid \"Open with pexol\""})
    EXPECT_NE(catalogueTemplate.find(text), std::string::npos) << text;
}

// msgfmt writes each language of a LINGUAS into the desktop entry and the metadata: under the
// pseudo-language every text they show is its own.
TEST(TranslatedFilesTest, TheDesktopEntryAndTheMetadataAreTranslatedWhole) {
  TempFolder po;
  std::filesystem::copy_file(build / "po/en@pseudo.po", po.Folder() / "en@pseudo.po");
  po.Write("LINGUAS", "en@pseudo\n");
  std::string printed;
  ASSERT_EQ(RunShell("msgfmt --desktop --template='" +
                         (source / "app/resources/pexol.desktop.in").string() + "' -d '" +
                         po.Folder().string() + "' -o '" + po.Path("pexol.desktop") + "'",
                     printed),
            0)
      << printed;
  const std::string entry = po.Read("pexol.desktop");
  std::size_t translated = 0;
  for (const char* key : {"Name", "GenericName", "Comment", "Keywords"}) {
    const std::regex pseudo(std::string("\n") + key + R"(\[en@pseudo\]=([^\n]*))");
    std::smatch found;
    if (!std::regex_search(entry, found, pseudo)) continue;
    ++translated;
    EXPECT_EQ(EnglishLeft(found[1].str()), "") << key << ": " << found[1].str();
  }
  EXPECT_GE(translated, 2u) << entry;

  ASSERT_EQ(
      RunShell("msgfmt --xml --template='" +
                   (source / "packaging/linux/io.github.pexol.pexol.metainfo.xml.in").string() +
                   "' -d '" + po.Folder().string() + "' -o '" + po.Path("metainfo.xml") + "'",
               printed),
      0)
      << printed;
  const std::string metainfo = po.Read("metainfo.xml");
  const std::regex element(R"(<(\w+) xml:lang="en@pseudo">([^<]*)</\1>)");
  std::size_t texts = 0;
  for (auto match = std::sregex_iterator(metainfo.begin(), metainfo.end(), element);
       match != std::sregex_iterator(); ++match, ++texts)
    EXPECT_EQ(EnglishLeft((*match)[2].str()), "") << (*match)[0].str();
  // Each English text of the metadata has its pseudo-language twin.
  const std::regex english(R"(<(name|summary|developer_name|p|li|caption)>)");
  EXPECT_EQ(texts, static_cast<std::size_t>(std::distance(
                       std::sregex_iterator(metainfo.begin(), metainfo.end(), english),
                       std::sregex_iterator())));
}

// The installer's pages and texts follow LINGUAS and each catalogue's header; a catalogue that
// does not name its language for the installer stops the build with what to add, leaving no
// half-written file.
TEST(TranslatedFilesTest, TheInstallerSpeaksEachLanguageOfTheList) {
  TempFolder po;
  std::filesystem::copy_file(source / "po/ja.po", po.Folder() / "ja.po");
  std::filesystem::copy_file(build / "po/en@pseudo.po", po.Folder() / "en@pseudo.po");
  po.Write("LINGUAS", "# the languages\nja\nen@pseudo\n");
  const std::string languages = po.Path("languages.nsh");
  const std::string make = "cmake -DACTION=installer -DTEMPLATE='" +
                           (source / "cmake/windows/pexol.nsi").string() + "' -DPO_DIR='" +
                           po.Folder().string() + "' -DOUTPUT='" + languages + "' -P '" +
                           (source / "cmake/TranslateMarked.cmake").string() + "'";
  std::string printed;
  EXPECT_NE(RunShell(make, printed), 0);
  // CMake wraps the message, but keeps its words.
  for (const char* words : {"/en@pseudo.po:", "its header has no \"X-Installer-Language\" line"})
    EXPECT_NE(printed.find(words), std::string::npos) << printed;
  EXPECT_FALSE(std::filesystem::exists(languages));

  // Named, it is written after Japanese, in the order of the list.
  std::string pseudo = po.Read("en@pseudo.po");
  pseudo.replace(pseudo.find("\"Content-Type"), 0, "\"X-Installer-Language: Esperanto\\n\"\n");
  po.Write("en@pseudo.po", pseudo);
  ASSERT_EQ(RunShell(make, printed), 0) << printed;
  const std::string written = po.Read("languages.nsh");
  EXPECT_NE(written.find("!insertmacro MUI_LANGUAGE \"Japanese\"\n"
                         "LangString ProjectType ${LANG_JAPANESE} \"動画編集プロジェクト\"\n"
                         "LangString OpenWith ${LANG_JAPANESE} \"pexol で開く\"\n"
                         "!insertmacro MUI_LANGUAGE \"Esperanto\"\n"
                         "LangString ProjectType ${LANG_ESPERANTO} \"⟦Vîdéõ édîtîng prõjéct⟧\"\n"),
            std::string::npos)
      << written;
}

}  // namespace pexol::test
