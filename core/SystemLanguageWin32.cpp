// core/SystemLanguageWin32.cpp - the language Windows asks for: the user's interface language,
// unless the environment names one (as it does under Wine and in scripts)
#include <windows.h>

#include <cstdlib>

#include "core/Translation.h"

namespace pexol {

std::string SystemLanguage() {
  const std::optional<std::string> named =
      LanguageOfEnvironment([](const char* name) { return std::getenv(name); });
  if (named) return *named;
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? "ja" : "";
}

}  // namespace pexol
