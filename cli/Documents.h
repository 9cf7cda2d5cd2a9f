// cli/Documents.h - the manual pages and shell completions, made from the command line itself
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

namespace pexol::cli {

/// `pexol-cli --write-documents FOLDER`, run by the build: the manual pages and completions
/// of the commands and options `app` defines, so that they cannot drift from --help.
inline constexpr std::string_view writeDocumentsFlag = "--write-documents";

/// Writes pexol-cli.1, pexol.1, pexol-cli.bash, _pexol-cli (zsh), pexol-cli.fish and the
/// package's description (package-description.txt) into
/// `folder`, and the two manual pages in each of `languages` ("ja") into `folder`/LANGUAGE/,
/// each from the app `makeApp` makes with that language's catalogue in use; the exit code (2,
/// with a message, when a file cannot be written or a language has no catalogue).
int WriteDocuments(const std::function<std::unique_ptr<CLI::App>()>& makeApp,
                   const std::string& folder, const std::vector<std::string>& languages);

/// What the documents say of one option or argument.
struct OptionEntry {
  std::vector<std::string> names;  ///< "--software", "-q"; empty for a positional
  std::string positional;          ///< "SOURCE"
  std::string valueName;           ///< "WHICH" from "=WHICH"; empty for a flag
  std::string description;
  std::vector<std::string> choices;     ///< the values it takes, when they are named
  std::vector<std::string> extensions;  ///< "mpj": the files it names, from its description
  bool folder = false;                  ///< its value is a folder
  bool file = false;                    ///< its value is a file (of `extensions` when given)
};

struct CommandEntry {
  std::string name;
  std::string description;
  std::string footer;
  std::vector<OptionEntry> positionals;
  std::vector<OptionEntry> options;
};

/// The commands of `app` in the order they were added, with their help options left out.
std::vector<CommandEntry> DescribeCommands(CLI::App& app);

std::string ManualPage(const CLI::App& app, const std::vector<CommandEntry>& commands);
std::string WindowManualPage(const std::vector<CommandEntry>& commands);
std::string BashCompletion(const std::vector<CommandEntry>& commands);
/// A shell's completions made while a language's catalogue was in use.
struct TranslatedCompletion {
  std::string language;  ///< "ja"
  std::string text;      ///< ZshFunction's or FishLines'
};

/// zsh's and fish's menus show the descriptions: in the language the user's locale asks for,
/// from `translations`, English otherwise.
std::string ZshCompletion(const std::vector<CommandEntry>& commands,
                          const std::vector<TranslatedCompletion>& translations = {});
std::string FishCompletion(const std::vector<CommandEntry>& commands,
                           const std::vector<TranslatedCompletion>& translations = {});
/// The zsh function `name` completing `commands`, and fish's lines for them (bash shows no
/// descriptions).
std::string ZshFunction(const std::vector<CommandEntry>& commands, const std::string& name);
std::string FishLines(const std::vector<CommandEntry>& commands);

}  // namespace pexol::cli
