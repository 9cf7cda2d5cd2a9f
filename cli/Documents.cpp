// cli/Documents.cpp - the commands and options read back from the CLI11 app, and the files
#include "cli/Documents.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>

#include "cli/CliCommon.h"
#include "cli/CliLanguage.h"
#include "cli/PackageDescription.h"
#include "core/PlatformPath.h"
#include "core/Translation.h"

namespace pexol::cli {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The files an argument names, by the extensions its description gives (".mpj", ".otio").
std::vector<std::string> ExtensionsIn(const std::string& description) {
  static const std::regex extension(R"((?:^|[\s(,])\.([a-z][a-z0-9]{1,8})\b)");
  std::vector<std::string> found;
  for (auto match = std::sregex_iterator(description.begin(), description.end(), extension);
       match != std::sregex_iterator(); ++match) {
    const std::string name = (*match)[1];
    if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
  }
  return found;
}

OptionEntry EntryOf(CLI::Option& option) {
  OptionEntry entry;
  entry.description = option.get_description();
  if (option.nonpositional()) {
    for (const std::string& name : option.get_lnames()) entry.names.push_back("--" + name);
    for (const std::string& name : option.get_snames()) entry.names.push_back("-" + name);
  } else {
    entry.positional = option.get_name(true);
  }
  const std::string& text = option.get_option_text();
  if (option.get_expected_max() > 0 && !entry.positional.empty()) entry.file = true;
  if (option.nonpositional() && option.get_expected_max() > 0) {
    entry.valueName = text.starts_with("=") ? text.substr(1) : "VALUE";
    if (!entry.valueName.empty() && entry.valueName.front() == '\'')
      entry.valueName = entry.valueName.substr(1, entry.valueName.size() - 2);
    entry.file = entry.valueName == "FILE";
    entry.folder = entry.valueName == "FOLDER";
  }
  try {
    entry.choices = Split(option.get_validator("choices")->get_description(), '|');
  } catch (const CLI::OptionNotFound&) {
  }
  if (entry.file) entry.extensions = ExtensionsIn(entry.description);
  return entry;
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(platform::PathOf(path), std::ios::binary);
  out << text;
  out.close();
  if (out) return true;
  std::cerr << Say("pexol-cli: can not write {0}", path) << "\n";
  return false;
}

}  // namespace

std::vector<CommandEntry> DescribeCommands(CLI::App& app) {
  std::vector<CommandEntry> commands;
  for (CLI::App* sub : app.get_subcommands([](CLI::App* command) { return IsCommand(command); })) {
    CommandEntry command{sub->get_name(), sub->get_description(), sub->get_footer(), {}, {}};
    for (CLI::Option* option : sub->get_options()) {
      if (option == sub->get_help_ptr() || option == sub->get_help_all_ptr()) continue;
      OptionEntry entry = EntryOf(*option);
      (entry.positional.empty() ? command.options : command.positionals).push_back(entry);
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

int WriteDocuments(const std::function<std::unique_ptr<CLI::App>()>& makeApp,
                   const std::string& folder, const std::vector<std::string>& languages) {
  const std::string base = folder + "/";
  // The same pages from the same definitions, their texts from each language's catalogue; the
  // completions gather each language's descriptions.
  std::vector<TranslatedCompletion> zsh, fish;
  bool written = true;
  for (const std::string& language : languages) {
    if (!UseLanguage(language)) {
      std::cerr << "pexol-cli: no catalogue for " << language << " beside the program\n";
      UseLanguage("");
      return 2;
    }
    const std::unique_ptr<CLI::App> translated = makeApp();
    const std::vector<CommandEntry> described = DescribeCommands(*translated);
    const std::string place = base + language + "/";
    std::error_code ignored;
    std::filesystem::create_directories(platform::PathOf(place), ignored);
    written = written && WriteFile(place + "pexol-cli.1", ManualPage(*translated, described)) &&
              WriteFile(place + "pexol.1", WindowManualPage(described));
    zsh.push_back({language, ZshFunction(described, "_pexol-cli_" + language)});
    fish.push_back({language, FishLines(described)});
  }
  UseLanguage("");
  const std::unique_ptr<CLI::App> app = makeApp();
  const std::vector<CommandEntry> commands = DescribeCommands(*app);
  written = written && WriteFile(base + "pexol-cli.1", ManualPage(*app, commands)) &&
            WriteFile(base + "pexol.1", WindowManualPage(commands)) &&
            WriteFile(base + "pexol-cli.bash", BashCompletion(commands)) &&
            WriteFile(base + "_pexol-cli", ZshCompletion(commands, zsh)) &&
            WriteFile(base + "pexol-cli.fish", FishCompletion(commands, fish)) &&
            WriteFile(base + "package-description.txt", PackageDescription());
  return written ? 0 : 2;
}

}  // namespace pexol::cli
