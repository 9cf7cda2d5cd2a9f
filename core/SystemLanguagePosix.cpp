// core/SystemLanguagePosix.cpp - the language Linux asks for: the locale's environment
#include <cstdlib>

#include "core/Translation.h"

namespace pexol {

std::string SystemLanguage() {
  return LanguageOfEnvironment([](const char* name) { return std::getenv(name); }).value_or("");
}

}  // namespace pexol
