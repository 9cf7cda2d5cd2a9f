// cli/CliLanguage.cpp - the catalogue chosen before the command line's texts are made
#include "cli/CliLanguage.h"

#include <cstdlib>

#include "core/PlatformPath.h"
#include "core/Translation.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace pexol::cli {

namespace {

bool IsOption(const std::string& argument, const std::string& name) {
  return argument == name || argument.starts_with(name + "=");
}

// Children inherit the environment: English named there reaches them whatever LANG says.
void AskChildrenForEnglish() {
#ifdef _WIN32
  ::_putenv_s("LANGUAGE", "en");
#else
  ::setenv("LANGUAGE", "en", 1);
#endif
}

}  // namespace

bool RunsInEnglish(const std::vector<std::string>& arguments) {
  const bool batch = arguments.size() > 1 && arguments[1] == "batch";
  const bool transcode = arguments.size() > 1 && arguments[1] == "transcode";
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--") break;  // what follows is a file name
    if (arguments[i] == "--json") return true;
    if (batch && IsOption(arguments[i], "--project")) return true;
    // A collect's transcode: its reason for failing is written into collect's report.
    if (transcode &&
        (arguments[i] == "--progress=json" ||
         (arguments[i] == "--progress" && i + 1 < arguments.size() && arguments[i + 1] == "json")))
      return true;
  }
  return false;
}

void UseLanguageOf(const std::vector<std::string>& arguments) {
  if (RunsInEnglish(arguments)) {
    AskChildrenForEnglish();
    UseCatalogue(std::nullopt);
    return;
  }
  UseCatalogue(FindCatalogue(SystemLanguage(), platform::ProgramFolder()));
}

bool UseLanguage(const std::string& language) {
  auto catalogue = FindCatalogue(language, platform::ProgramFolder());
  const bool found = catalogue.has_value();
  UseCatalogue(std::move(catalogue));
  return found || language.empty();
}

}  // namespace pexol::cli
