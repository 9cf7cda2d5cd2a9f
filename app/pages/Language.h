// app/pages/Language.h - the language the windows speak: the system's, or the one the user
// chose on the about page, which wins from the window's next start
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "app/pages/SettingsStore.h"

namespace pexol::pages {

/// The settings key of the user's choice: a language code, or empty for the system's.
inline constexpr std::string_view languageKey = "about/language";

/// One entry of the about page's language list. `name` is the language's name in itself
/// ("日本語"), so a user who cannot read the present language still finds their own; the
/// system's entry has no code and a name that is translated where it is shown.
struct LanguageChoice {
  std::string_view code;
  std::string_view name;
};

/// The about page's list: the system's language first, English, then every language of
/// po/LINGUAS, named as its catalogue's header names it ("X-Language-Name").
std::span<const LanguageChoice> LanguageChoices();

/// A choice's name as the list shows it: the system's entry translated, the others as they are.
std::string ChoiceName(const LanguageChoice& choice);

/// The list's label, and the line beside it that says when a new choice takes effect;
/// translated.
std::string LanguageLabel();
std::string LanguageNote();

/// The language the window speaks: the user's choice if it is one of the list, else the
/// system's (`systemLanguage`, as `SystemLanguage()` gives it).
std::string WindowLanguage(const SettingsStore& settings, std::string_view systemLanguage);

/// Chooses the catalogue of `WindowLanguage` for every text the window shows; `programFolder`
/// holds the program (the catalogues are beside it or in the installed tree). Returns the
/// language chosen, empty for English.
std::string UseWindowLanguage(const SettingsStore& settings,
                              const std::filesystem::path& programFolder);

/// What `UseWindowLanguage` chose ("ja", empty for English); the system's language before it
/// was called. A program the window starts is asked to speak it.
std::string LanguageInUse();

}  // namespace pexol::pages
