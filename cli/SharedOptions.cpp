// cli/SharedOptions.cpp - the options several commands share, with their help and choices
#include "cli/CliCommon.h"

#include <map>
#include <string>
#include <vector>

#include "core/Translation.h"
#include "export/ExportFormats.h"

namespace pexol::cli {

OutputChoice& Output() {
  static OutputChoice choice;
  return choice;
}

void AddQuietOption(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands([](CLI::App* each) { return IsCommand(each); }))
    command->add_flag("--quiet,-q", Output().quiet,
                      std::string(Tr("print nothing but errors (on standard error): no progress, "
                                     "no warnings, no completion message")));
}

void AddJsonOption(CLI::App& command) {
  command.add_flag("--json", Output().json,
                   std::string(Tr("print the summary as one JSON document on standard output "
                                  "(its fields are in pexol-cli(1)); errors still go to standard "
                                  "error")));
}

void AddSoftwareOption(CLI::App& command, SoftwareChoice& choice) {
  static const std::map<std::string, int> names = [] {
    std::map<std::string, int> table;
    for (const SoftwareChoiceName& name : SoftwareChoiceNames())
      table.emplace(name.name, name.choice.automatic ? -1 : static_cast<int>(name.choice.named));
    return table;
  }();
  choice = SoftwareChoice::Automatic();  // unless the option names one
  command
      .add_option_function<int>(
          "--software",
          [&choice](int chosen) {
            choice =
                chosen < 0 ? SoftwareChoice::Automatic() : SoftwareChoice::Named(Software{chosen});
          },
          std::string(Tr("which application wrote the project: corvane (or brisko), lumetta, or "
                         "auto (the default): the one that reads the project exactly to its "
                         "end")))
      ->transform(Choices(names))
      ->option_text("=WHICH");
}

void AddFormatOptions(CLI::App& command, FormatOptions& options) {
  for (const FormatOption* option : AllFormatOptions())
    command
        .add_option_function<std::string>(
            std::string("--") + option->name,
            [&options, name = std::string(option->name)](const std::string& value) {
              options[name] = value;
            },
            std::string(Tr(option->help)))
        ->check(OneOfNames(option->choices))
        ->option_text(std::string("=") + option->placeholder);
}

void AddTimecodeOption(CLI::App& command, TimecodeMode& mode,
                       const std::map<std::string, TimecodeMode>& choices, const std::string& why) {
  std::string words;
  for (const auto& [name, value] : choices) words += (words.empty() ? "" : ", ") + name;
  // Names only: a mapped transformer would also take the numbers behind them.
  command
      .add_option_function<std::string>(
          "--timecode",
          [&mode, &choices, words, why](const std::string& given) {
            for (const auto& [name, value] : choices)
              if (EqualsIgnoreCase(given, name)) {
                mode = value;
                return;
              }
            throw CLI::ValidationError(
                "--timecode",
                why.empty() ? Refuse(ToTranslate("{0}: \"{1}\" is not one of {2}"), {given, words})
                            : Refuse(ToTranslate("{0}: \"{1}\" is not one of {2}; {3}"),
                                     {given, words, why}));
          },
          Say("timecodes and rate: {0} (default ntsc-drop)", words))
      ->check(CLI::Validator([](const std::string&) { return std::string(); },
                             [&choices] {
                               std::string names;
                               for (const auto& [name, value] : choices)
                                 names += (names.empty() ? "" : "|") + name;
                               return names;
                             }(),
                             "choices"))
      ->option_text("=MODE");
}

void AddEncodingOption(CLI::App& command, TextEncoding& encoding, const std::string& what) {
  static const std::map<std::string, TextEncoding> names = {{"shift-jis", TextEncoding::ShiftJis},
                                                            {"utf-8", TextEncoding::Utf8}};
  command
      .add_option("--encoding", encoding,
                  !what.empty()
                      ? what
                      : std::string(Tr("text encoding of names, titles, fonts and labels in the "
                                       "text file: shift-jis (the default, the projects' own) or "
                                       "utf-8; a text that starts with a UTF-8 byte-order mark is "
                                       "read as utf-8")))
      ->transform(Choices(names))
      ->option_text("=NAME");
}

void AddMapOption(CLI::App& command, std::vector<std::string>& rules, const std::string& what) {
  command.add_option("--map", rules, what)->option_text("='PREFIX=FOLDER'")->take_all();
}

void AddSearchOption(CLI::App& command, std::vector<std::string>& folders) {
  command
      .add_option("--search", folders,
                  std::string(Tr("look for media not found by name in this folder and every "
                                 "folder in it, by file name without regard to case "
                                 "(repeatable)")))
      ->option_text("=FOLDER")
      ->take_all();
}

CLI::Option* AddPlanOption(CLI::App& command, std::string& target, const std::string& what) {
  const auto known = [](std::string& value) -> std::string {
    if (value == "true" || value == "slurm") return {};
    return Refuse(ToTranslate("{0}: give --plan alone or --plan=slurm, not --plan={1}"), {value});
  };
  return command.add_flag("--plan", target, what)
      ->check(CLI::Validator(known, "", "plan"))
      ->option_text("[=slurm]");
}

CLI::Option* AddFile(CLI::App& command, const std::string& name, std::string& value,
                     const std::string& what) {
  return command.add_option(name, value, what)->required()->option_text(" ");
}

const std::map<std::string, TimecodeMode>& TimecodeNames() {
  static const std::map<std::string, TimecodeMode> names = [] {
    std::map<std::string, TimecodeMode> all;
    for (const TimecodeModeName& name : TimecodeModeNames()) all.emplace(name.name, name.mode);
    return all;
  }();
  return names;
}

const std::map<std::string, TranscodeKind>& TranscodeKindChoices() {
  static const std::map<std::string, TranscodeKind> names = [] {
    std::map<std::string, TranscodeKind> kinds;
    for (const TranscodeKindChoice& choice : TranscodeKinds())
      kinds.emplace(choice.name, choice.kind);
    return kinds;
  }();
  return names;
}

std::string OneOf(const std::vector<std::string>& items) {
  if (items.size() < 2) return items.empty() ? std::string() : items.front();
  std::string head;
  for (std::size_t i = 0; i + 1 < items.size(); ++i) head += (i == 0 ? "" : ", ") + items[i];
  return Say("{0} or {1}", head, items.back());
}

const std::map<std::string, std::string>& ExportFormatChoices() {
  static const std::map<std::string, std::string> names = [] {
    std::map<std::string, std::string> table;
    for (const ExportFormat& format : ExportFormats()) table.emplace(format.name, format.name);
    return table;
  }();
  return names;
}

std::map<std::string, TimecodeMode> RatedTimecodeNames() {
  std::map<std::string, TimecodeMode> rated;
  for (const TimecodeModeName& name : TimecodeModeNames())
    if (name.rated) rated.emplace(name.name, name.mode);
  return rated;
}

}  // namespace pexol::cli
