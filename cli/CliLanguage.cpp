// cli/CliLanguage.cpp - the catalogue chosen before the command line's texts are made
#include "cli/CliLanguage.h"

#include <cstdlib>
#include <filesystem>

#include "core/Translation.h"
#ifdef _WIN32
#include <windows.h>
#else
#include "core/PlatformPath.h"
#include "run/ProcessPool.h"
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

// Where the catalogue is looked for: beside the program, as the Windows zip and the build tree
// lay it out, or in the installed tree.
std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
  path.resize(length < MAX_PATH ? length : 0);
  return std::filesystem::path(path).parent_path();
#else
  return platform::PathOf(ThisProgram()).parent_path();
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
    if (transcode && (arguments[i] == "--progress=json" ||
                      (arguments[i] == "--progress" && i + 1 < arguments.size() &&
                       arguments[i + 1] == "json")))
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
  UseCatalogue(FindCatalogue(SystemLanguage(), ProgramFolder()));
}

bool UseLanguage(const std::string& language) {
  auto catalogue = FindCatalogue(language, ProgramFolder());
  const bool found = catalogue.has_value();
  UseCatalogue(std::move(catalogue));
  return found || language.empty();
}

}  // namespace pexol::cli
