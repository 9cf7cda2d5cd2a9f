// cli/Completions.cpp - bash, zsh and fish completion of every command, option and value
#include <sstream>

#include "cli/Documents.h"
#include "core/Translation.h"

namespace pexol::cli {

namespace {

std::string Joined(const std::vector<std::string>& words, const std::string& separator = " ") {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
  return text;
}

// In single quotes for any of the three shells.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The first clause of a description, short enough for a completion menu.
std::string Brief(const std::string& description) {
  std::string brief = description.substr(0, description.find_first_of(";:("));
  brief = brief.substr(0, brief.find("。"));  // a translation's first sentence
  while (!brief.empty() && brief.back() == ' ') brief.pop_back();
  // Measured in columns, a translation's characters of three bytes or more taking two, and cut
  // between two characters, never inside one.
  std::size_t columns = 0, cut = 0;
  for (std::size_t at = 0; at < brief.size();) {
    const auto lead = static_cast<unsigned char>(brief[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    columns += length >= 3 ? 2 : 1;
    at += length;
    if (columns <= 67) cut = at;
  }
  if (columns > 70) brief = brief.substr(0, cut) + "...";
  return brief;
}

// A bash word list of the files an option or argument takes: "mpj" or "" for any.
std::string BashValue(const OptionEntry& entry) {
  if (!entry.choices.empty())
    return "COMPREPLY=($(compgen -W " + Quoted(Joined(entry.choices)) + " -- \"$cur\"))";
  if (entry.folder) return "_pexol_cli_files -d";
  if (entry.file) return "_pexol_cli_files " + Quoted(Joined(entry.extensions));
  return "COMPREPLY=()";
}

}  // namespace

std::string BashCompletion(const std::vector<CommandEntry>& commands) {
  std::ostringstream out;
  std::vector<std::string> names;
  for (const CommandEntry& command : commands) names.push_back(command.name);
  out << "# bash completion for pexol-cli, generated from its command line\n"
         "\n"
         "# Files ending in one of the extensions $1 (any file when empty), and folders; -d:\n"
         "# folders alone.\n"
         "_pexol_cli_files() {\n"
         "  local IFS=$'\\n' name extension\n"
         "  compopt -o filenames 2>/dev/null\n"
         "  if [[ $1 == -d ]]; then COMPREPLY=($(compgen -d -- \"$cur\")); return; fi\n"
         "  local -a extensions\n"
         "  IFS=' ' read -r -a extensions <<<\"$1\"\n"
         "  COMPREPLY=()\n"
         "  for name in $(compgen -f -- \"$cur\"); do\n"
         "    if [[ -d $name || ${#extensions[@]} -eq 0 ]]; then COMPREPLY+=(\"$name\"); continue; "
         "fi\n"
         "    for extension in \"${extensions[@]}\"; do\n"
         "      if [[ ${name,,} == *.\"$extension\" ]]; then COMPREPLY+=(\"$name\"); break; fi\n"
         "    done\n"
         "  done\n"
         "}\n"
         "\n"
         "_pexol_cli() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
         "  local command='' option='' i word\n"
         "  # bash splits --option=value at '=': the value's option is the word before it.\n"
         "  if [[ $cur == = ]]; then option=$prev; cur='';\n"
         "  elif [[ $prev == = ]]; then option=${COMP_WORDS[COMP_CWORD - 2]};\n"
         "  elif [[ $prev == -* ]]; then option=$prev; fi\n"
         "  local -a positionals=()\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    word=${COMP_WORDS[i]}\n"
         "    if [[ $word == = ]]; then ((i++)); continue; fi\n"
         "    if [[ $word == -* ]]; then\n"
         "      [[ ${COMP_WORDS[i + 1]} != = && \" $_pexol_cli_valued \" == *\" $word \"* ]] && "
         "((i++))\n"
         "      continue\n"
         "    fi\n"
         "    if [[ -z $command ]]; then command=$word; else positionals+=(\"$word\"); fi\n"
         "  done\n"
         "  if [[ -z $command ]]; then\n"
         "    COMPREPLY=($(compgen -W "
      << Quoted(Joined(names) + " --help --version")
      << " -- \"$cur\"))\n"
         "    return\n"
         "  fi\n"
         "  case $command in\n";
  std::vector<std::string> valued;
  for (const CommandEntry& command : commands) {
    out << "  " << command.name << ")\n    case $option in\n";
    std::vector<std::string> optionNames = {"--help"};
    for (const OptionEntry& option : command.options) {
      optionNames.insert(optionNames.end(), option.names.begin(), option.names.end());
      if (option.valueName.empty()) continue;
      for (const std::string& name : option.names)
        if (std::find(valued.begin(), valued.end(), name) == valued.end()) valued.push_back(name);
      out << "    " << Joined(option.names, "|") << ") " << BashValue(option) << "; return ;;\n";
    }
    out << "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "      COMPREPLY=($(compgen -W "
        << Quoted(Joined(optionNames)) << " -- \"$cur\"))\n"
        << "      return\n    fi\n    case ${#positionals[@]} in\n";
    for (std::size_t i = 0; i < command.positionals.size(); ++i)
      out << "    " << i << ") " << BashValue(command.positionals[i]) << " ;;\n";
    out << "    esac\n    ;;\n";
  }
  out << "  esac\n}\n"
         "_pexol_cli_valued="
      << Quoted(Joined(valued))
      << "\n"
         "complete -F _pexol_cli pexol-cli\n";
  return out.str();
}

std::string ZshFunction(const std::vector<CommandEntry>& commands, const std::string& name) {
  // In an _arguments entry, brackets and colons of a description need a backslash.
  const auto escaped = [](const std::string& text) {
    std::string escaped;
    for (const char c : text) {
      if (c == '[' || c == ']' || c == ':' || c == '\\') escaped += '\\';
      escaped += c;
    }
    return escaped;
  };
  const auto action = [](const OptionEntry& entry) {
    if (!entry.choices.empty()) return "(" + Joined(entry.choices) + ")";
    if (entry.folder) return std::string("_files -/");
    if (entry.file && !entry.extensions.empty()) {
      std::string globs;
      for (const std::string& extension : entry.extensions)
        globs += (globs.empty() ? "" : "|") + extension;
      return "_files -g \"*.(#i)(" + globs + ")\"";
    }
    if (entry.file) return std::string("_files");
    return std::string(" ");
  };
  std::ostringstream out;
  out << name
      << "() {\n"
         "  local curcontext=$curcontext state line\n"
         "  typeset -A opt_args\n"
         "  _arguments -C '(- *)--help["
      << escaped(std::string(Tr("print help"))) << "]' '(- *)--version["
      << escaped(std::string(Tr("print the version")))
      << "]' \\\n"
         "    '1:command:->command' '*::argument:->argument'\n"
         "  case $state in\n"
         "  command)\n"
         "    local -a commands=(\n";
  for (const CommandEntry& command : commands)
    out << "      " << Quoted(command.name + ":" + escaped(Brief(command.description))) << "\n";
  out << "    )\n    _describe command commands\n    ;;\n  argument)\n    case $line[1] in\n";
  for (const CommandEntry& command : commands) {
    out << "    " << command.name << ")\n      _arguments";
    for (const OptionEntry& option : command.options)
      for (const std::string& name : option.names) {
        const std::string brief = "[" + escaped(Brief(option.description)) + "]";
        out << " \\\n        "
            << Quoted(option.valueName.empty()
                          ? name + brief
                          : name + "=" + brief + ":" + option.valueName + ":" + action(option));
      }
    for (std::size_t i = 0; i < command.positionals.size(); ++i)
      out << " \\\n        "
          << Quoted(std::to_string(i + 1) + ":" + command.positionals[i].positional + ":" +
                    action(command.positionals[i]));
    out << "\n      ;;\n";
  }
  out << "    esac\n    ;;\n  esac\n}\n";
  return out.str();
}

std::string ZshCompletion(const std::vector<CommandEntry>& commands,
                          const std::vector<TranslatedCompletion>& translations) {
  std::ostringstream out;
  out << "#compdef pexol-cli\n# zsh completion for pexol-cli, generated from its command line\n\n"
      << ZshFunction(commands, "_pexol-cli") << "\n";
  if (translations.empty()) {
    out << "_pexol-cli \"$@\"\n";
    return out.str();
  }
  for (const TranslatedCompletion& translation : translations) out << translation.text << "\n";
  // The descriptions in the language the locale asks for, as pexol-cli chooses it.
  out << "local pexol_locale=${LC_ALL:-${LC_MESSAGES:-$LANG}}\n"
         "[[ -n $LANGUAGE && -n $pexol_locale && $pexol_locale != (C|POSIX|C.*) ]] &&\n"
         "  pexol_locale=${LANGUAGE%%:*}\n"
         "case ${pexol_locale%%[_.@]*} in\n";
  for (const TranslatedCompletion& translation : translations)
    out << translation.language << ") _pexol-cli_" << translation.language << " \"$@\" ;;\n";
  out << "*) _pexol-cli \"$@\" ;;\nesac\n";
  return out.str();
}

std::string FishLines(const std::vector<CommandEntry>& commands) {
  std::ostringstream out;
  std::vector<std::string> names;
  for (const CommandEntry& command : commands) names.push_back(command.name);
  out << "complete -c pexol-cli -n __fish_use_subcommand -l help -d "
      << Quoted(std::string(Tr("print help")))
      << "\n"
         "complete -c pexol-cli -n __fish_use_subcommand -l version -d "
      << Quoted(std::string(Tr("print the version"))) << "\n";
  for (const CommandEntry& command : commands)
    out << "complete -c pexol-cli -n __fish_use_subcommand -a " << command.name << " -d "
        << Quoted(Brief(command.description)) << "\n";
  for (const CommandEntry& command : commands) {
    const std::string when = " -n " + Quoted("__fish_seen_subcommand_from " + command.name);
    for (const OptionEntry& option : command.options) {
      out << "complete -c pexol-cli" << when;
      for (const std::string& name : option.names)
        out << (name.starts_with("--") ? " -l " + name.substr(2) : " -s " + name.substr(1));
      if (!option.choices.empty())
        out << " -x -a " << Quoted(Joined(option.choices));
      else if (option.folder)
        out << " -x -a '(__fish_complete_directories)'";
      else if (option.file)
        out << " -r -F";
      else if (!option.valueName.empty())
        out << " -x";
      out << " -d " << Quoted(Brief(option.description)) << "\n";
    }
    // The arguments: files of the extensions they name, or any file.
    std::vector<std::string> extensions;
    for (const OptionEntry& positional : command.positionals)
      for (const std::string& extension : positional.extensions)
        if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
          extensions.push_back(extension);
    if (extensions.empty()) out << "complete -c pexol-cli" << when << " -F\n";
    for (const std::string& extension : extensions)
      out << "complete -c pexol-cli" << when << " -a "
          << Quoted("(__fish_complete_suffix ." + extension + ")") << "\n";
  }
  return out.str();
}

std::string FishCompletion(const std::vector<CommandEntry>& commands,
                           const std::vector<TranslatedCompletion>& translations) {
  std::ostringstream out;
  out << "# fish completion for pexol-cli, generated from its command line\n"
         "complete -c pexol-cli -f\n";
  if (translations.empty()) {
    out << FishLines(commands);
    return out.str();
  }
  // The descriptions in the language the locale asks for, as pexol-cli chooses it.
  out << "set -l pexol_locale $LC_ALL\n"
         "test -n \"$pexol_locale\"; or set pexol_locale $LC_MESSAGES\n"
         "test -n \"$pexol_locale\"; or set pexol_locale $LANG\n"
         "if test -n \"$LANGUAGE\" -a -n \"$pexol_locale\"; and not string match -qr "
         "'^(C|POSIX)([.]|$)' -- $pexol_locale\n"
         "  set pexol_locale (string split -m1 : -- $LANGUAGE)[1]\n"
         "end\n"
         "switch (string replace -r '[_.@].*' '' -- \"$pexol_locale\")\n";
  for (const TranslatedCompletion& translation : translations)
    out << "case " << translation.language << "\n" << translation.text;
  out << "case '*'\n" << FishLines(commands) << "end\n";
  return out.str();
}

}  // namespace pexol::cli
