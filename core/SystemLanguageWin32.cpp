// core/SystemLanguageWin32.cpp - the language Windows asks for: the user's interface language,
// unless the environment names one (as it does under Wine and in scripts)
#include <windows.h>

#include <cstdlib>
#include <string>

#include "core/Translation.h"

namespace pexol {

std::string SystemLanguage() {
  const std::optional<std::string> named =
      LanguageOfEnvironment([](const char* name) { return std::getenv(name); });
  if (named) return *named;
  // "de-DE" names German: the catalogues are by language ("de"), whichever are installed.
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                       LOCALE_NAME_MAX_LENGTH, 0) == 0)
    return "";
  std::string language;
  for (const wchar_t* c = name; *c >= L'a' && *c <= L'z'; ++c) language += static_cast<char>(*c);
  return language == "en" ? "" : language;
}

}  // namespace pexol
