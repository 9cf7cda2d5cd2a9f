// app/pages/Language.cpp - the windows' language: the system's or the user's choice
#include "app/pages/Language.h"

#include <optional>

#include "core/Translation.h"

namespace pexol::pages {

namespace {

// Set once, as the window starts, before any thread reads it.
std::optional<std::string> inUse;

// The languages of po/LINGUAS follow English, as the build writes them.
constexpr LanguageChoice choices[] = {
    {"", ToTranslate("System language")},
    {"en", "English"},
#include "app/pages/LanguageRows.inc"
};

}  // namespace

std::span<const LanguageChoice> LanguageChoices() {
  return choices;
}

std::string ChoiceName(const LanguageChoice& choice) {
  return std::string(choice.code.empty() ? Tr(choice.name) : choice.name);
}

std::string LanguageLabel() {
  return std::string(Tr("language"));
}

std::string LanguageNote() {
  return std::string(Tr("A new choice takes effect when pexol starts again."));
}

std::string WindowLanguage(const SettingsStore& settings, std::string_view systemLanguage) {
  if (const auto chosen = settings.Text(std::string(languageKey)))
    for (const LanguageChoice& choice : choices)
      if (!choice.code.empty() && choice.code == *chosen) return choice.code == "en" ? "" : *chosen;
  return std::string(systemLanguage);
}

std::string UseWindowLanguage(const SettingsStore& settings,
                              const std::filesystem::path& programFolder) {
  std::string language = WindowLanguage(settings, SystemLanguage());
  auto catalogue = FindCatalogue(language, programFolder);
  if (!catalogue) language.clear();
  UseCatalogue(std::move(catalogue));
  inUse = language;
  return language;
}

std::string LanguageInUse() {
  return inUse ? *inUse : SystemLanguage();
}

}  // namespace pexol::pages
