// tests/pages/PageTextsTest.cpp - the page layer hands both windows their texts translated, and
// the language the windows speak
#include <gtest/gtest.h>

#include <set>

#include "MemorySettings.h"
#include "app/pages/Language.h"
#include "app/pages/Page.h"
#include "app/pages/WindowRules.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"

namespace pexol::pages {
namespace {

// Every text of the shared pages' parts, their titles first.
std::vector<std::string> PageTexts() {
  std::vector<std::string> texts;
  for (const auto& page : MakeSharedPages()) {
    texts.push_back(page->Title());
    for (const FormPart& part : page->Parts()) {
      texts.push_back(part.text);
      for (const Choice& choice : part.choices) texts.push_back(choice.text);
      for (const FilterEntry& entry : FilterEntries(part.request.filter))
        texts.push_back(entry.label);
    }
  }
  for (const AboutLine& line : AboutLines()) texts.push_back(line.text);
  texts.push_back(WindowTitle());
  texts.push_back(CloseQuestion());
  texts.push_back(AboutTitle());
  texts.push_back(LanguageLabel());
  texts.push_back(LanguageNote());
  return texts;
}

class JapanesePages : public testing::Test {
 protected:
  void SetUp() override {
    english = PageTexts();
    auto japanese = FindCatalogue("ja", PEXOL_BUILD_DIR);
    ASSERT_TRUE(japanese);
    UseCatalogue(std::move(japanese));
  }
  void TearDown() override { UseCatalogue(std::nullopt); }

  std::vector<std::string> english;
};

// The Win32 window shows these as they come: each is Japanese but for names and formats.
TEST_F(JapanesePages, EveryTextComesTranslated) {
  std::set<std::string> names = {"", "CSV", "PAL", "FRAME", "Corvane, Brisko", "Lumetta", "PEXOL"};
  for (const ExportFormat& format : ExportFormats()) {
    names.insert(format.label);
    // The export's save dialog lists the formats by name.
    std::string patterns;
    for (const std::string& extension : format.extensions)
      patterns += (patterns.empty() ? "*" : " *") + extension;
    names.insert(std::string(format.label) + " (" + patterns + ")");
    // A format option's values are shown as the command line takes them.
    for (const FormatOption& option : format.options)
      names.insert(option.choices.begin(), option.choices.end());
  }
  const std::vector<std::string> japanese = PageTexts();
  ASSERT_EQ(japanese.size(), english.size());
  for (std::size_t i = 0; i < japanese.size(); ++i)
    EXPECT_TRUE(names.contains(english[i]) || japanese[i] != english[i]) << english[i];
  EXPECT_EQ(japanese.front(), "mpj → txt");
  EXPECT_EQ(ReplaceQuestion("a.txt"), "a.txt は既に存在します。置き換えますか？");
}

TEST(WindowLanguage, TheUsersChoiceWinsOverTheSystemsAndEnglishIsNone) {
  MemorySettings settings;
  EXPECT_EQ(WindowLanguage(settings, "ja"), "ja");
  settings.SetText(std::string(languageKey), "en");
  EXPECT_EQ(WindowLanguage(settings, "ja"), "");
  settings.SetText(std::string(languageKey), "ja");
  EXPECT_EQ(WindowLanguage(settings, ""), "ja");
  // A language this version has no list entry for is the system's.
  settings.SetText(std::string(languageKey), "xx");
  EXPECT_EQ(WindowLanguage(settings, "de"), "de");
  EXPECT_EQ(ChoiceName(LanguageChoices().front()), "System language");
}

}  // namespace
}  // namespace pexol::pages
