// tests/core/SystemReasonTest.cpp - the system's reasons in the language of the catalogue in use:
// the system's own translation, pexol's where the system has none, English without a catalogue
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {
namespace {

// True when `text` holds a character of the Japanese blocks (kana and kanji, U+3000 up).
bool HoldsJapanese(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0xE3) return true;
  return false;
}

TEST(SystemReasonTest, SaysTheSystemsReasonInTheLanguageOfTheTexts) {
  // Without a catalogue the texts are English, whatever the locale says.
  EXPECT_EQ(CatalogueLanguage(), "");
  EXPECT_EQ(SystemReason(EROFS), "Read-only file system");
  EXPECT_EQ(SystemReason(std::make_error_code(std::errc::no_such_file_or_directory)),
            "No such file or directory");
  EXPECT_EQ(SystemReasonIn(EROFS, "xx"), "Read-only file system");  // no such catalogue

  std::ifstream mo(std::string(PEXOL_LOCALE_DIR) + "/ja/LC_MESSAGES/pexol.mo", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(mo), {}};
  std::optional<Catalogue> japanese = Catalogue::Parse(bytes);
  ASSERT_TRUE(japanese) << "no Japanese catalogue in " << PEXOL_LOCALE_DIR;
  EXPECT_EQ(japanese->Language(), "ja");
  struct English {
    ~English() { UseCatalogue(std::nullopt); }
  } restore;
  UseCatalogue(std::move(japanese));
  EXPECT_EQ(CatalogueLanguage(), "ja");
  // pexol's own catalogue holds the commonest reasons, whatever the system has.
  const std::string readOnly = SystemReason(EROFS);
  EXPECT_TRUE(HoldsJapanese(readOnly)) << readOnly;
#ifdef _WIN32
  GTEST_SKIP() << "Windows' C runtime has no translations; its own messages are its system's";
#endif
  if (!std::filesystem::exists("/usr/share/locale/ja/LC_MESSAGES/libc.mo"))
    GTEST_SKIP() << "the C library's Japanese catalogue (Debian's libc-l10n) is not installed";
  // A reason only the system translates, by its number and as a library reports it.
  for (const std::string& reason :
       {SystemReason(EXDEV), SystemReason(ENOTEMPTY), SystemReason(ENOENT),
        SystemReason(std::make_error_code(std::errc::directory_not_empty)),
        SystemReason(std::error_code(EXDEV, std::system_category()))}) {
    EXPECT_TRUE(HoldsJapanese(reason)) << reason;
    EXPECT_TRUE(IsValidUtf8(reason)) << reason;
  }
  EXPECT_EQ(SystemReasonIn(EXDEV, ""), "Invalid cross-device link");
}

}  // namespace
}  // namespace pexol
