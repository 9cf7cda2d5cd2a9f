// cli/ParseErrors.cpp - the command line parsed: CLI11's errors in the reader's language, by
// their class and what the parse holds, and what a run that throws says
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "core/CountedText.h"
#include "core/Translation.h"

namespace pexol::cli {

namespace {

// The commands the parse went into, from the program down.
std::vector<const CLI::App*> ParsedCommands(const CLI::App& program) {
  std::vector<const CLI::App*> chain = {&program};
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (const CLI::App* next : chain.back()->get_subcommands())
      if (IsCommand(next)) {
        chain.push_back(next);
        deeper = true;
        break;
      }
  }
  return chain;
}

// The first requirement the parsed command line leaves unmet, in the order CLI11 checks them
// (each command's options in turn: required, then what each needs and excludes; the
// subcommand it requires; then the command below), said when it is of the class thrown.
std::optional<std::string> UnmetRequirement(const CLI::App& command, const std::string& thrown) {
  const auto as = [&thrown](const char* kind, auto say) {
    return thrown == kind ? std::optional<std::string>(say()) : std::nullopt;
  };
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_required() && option->count() == 0)
      return as("RequiredError", [&] { return Say("{0} is required", option->get_name()); });
    for (const CLI::Option* needed : option->get_needs())
      if (option->count() > 0 && needed->count() == 0)
        return as("RequiresError",
                  [&] { return Say("{0} requires {1}", option->get_name(), needed->get_name()); });
    for (const CLI::Option* excluded : option->get_excludes())
      if (option->count() > 0 && excluded->count() != 0)
        return as("ExcludesError", [&] {
          return Say("{0} excludes {1}", option->get_name(), excluded->get_name());
        });
  }
  const std::vector<CLI::App*> below = command.get_subcommands();
  if (below.empty() && command.get_require_subcommand_min() == 1)
    return as("RequiredError", [] { return std::string(Tr("A subcommand is required")); });
  for (const CLI::App* sub : below)
    if (std::optional<std::string> unmet = UnmetRequirement(*sub, thrown)) return unmet;
  return std::nullopt;
}

// The arguments no command took, as CLI11 lists them: last first.
std::optional<std::string> UnexpectedArguments(const CLI::App& program) {
  const std::vector<std::string> left = program.remaining(true);
  if (left.empty()) return std::nullopt;
  std::string listed;
  for (auto each = left.rbegin(); each != left.rend(); ++each)
    listed += (listed.empty() ? "" : " ") + *each;
  return SayN(left.size(), "The following argument was not expected: {0}",
              "The following arguments were not expected: {0}", listed);
}

// A value a check of ours refused, the option's name being what CLI11 put before the check's
// message. English keeps CLI11's own words where the message has always been them.
std::optional<std::string> RefusedValueText(const std::string& what) {
  const std::optional<RefusedValue>& refused = LastRefusedValue();
  if (!refused) return std::nullopt;
  const std::string tail = ": " + refused->given;
  if (what.size() <= tail.size() || !what.ends_with(tail)) return std::nullopt;
  const bool translated = Tr(refused->sentence).data() != refused->sentence.data();
  if (refused->ownEnglish && !translated) return what;
  std::vector<std::string> pieces = {what.substr(0, what.size() - tail.size())};
  pieces.insert(pieces.end(), refused->pieces.begin(), refused->pieces.end());
  return FillAll(Tr(refused->sentence), pieces);
}

// An option given last with nothing after it ("--map" at the end): CLI11 names it and the
// kind of value it takes.
std::optional<std::string> MissingValue(const CLI::App& program,
                                        const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) return std::nullopt;
  const std::vector<const CLI::App*> chain = ParsedCommands(program);
  for (auto command = chain.rbegin(); command != chain.rend(); ++command) {
    const CLI::Option* option = (*command)->get_option_no_throw(arguments.back());
    if (option != nullptr && option->get_items_expected_min() == 1)
      return Say("{0}: 1 required {1} missing", option->get_name(), option->get_type_name());
  }
  return std::nullopt;
}

// A value CLI11 could not turn into its option's type: the option whose values its message
// gives as CLI11 lists them.
std::optional<std::string> UnconvertedValue(const CLI::App& program, const std::string& what) {
  for (const CLI::App* command : ParsedCommands(program))
    for (const CLI::Option* option : command->get_options()) {
      if (option->count() == 0) continue;
      const std::string values = CLI::detail::join(option->results());
      if (what == "Could not convert: " + option->get_name() + " = " + values)
        return Say("Could not convert: {0} = {1}", option->get_name(), values);
    }
  return std::nullopt;
}

// CLI11's parse error in the chosen language, by its class and what the parsed command line
// holds; English reads as CLI11 words it. Any other error keeps CLI11's text in a sentence.
std::string ParseErrorText(const CLI::App& program, const CLI::Error& error,
                           const std::vector<std::string>& arguments) {
  const std::string what = error.what();
  // A command's ExtrasError carries the command's name as its own, so its class is asked.
  const std::string kind =
      dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr ? "ExtrasError" : error.get_name();
  std::optional<std::string> text;
  if (kind == "RequiredError" || kind == "RequiresError" || kind == "ExcludesError")
    text = UnmetRequirement(program, kind);
  else if (kind == "ExtrasError")
    text = UnexpectedArguments(program);
  else if (kind == "ValidationError")
    text = RefusedValueText(what);
  else if (kind == "ArgumentMismatch")
    text = MissingValue(program, arguments);
  else if (kind == "ConversionError")
    text = UnconvertedValue(program, what);
  if (text) return *text;
  // English keeps CLI11's message as it is; a translation frames it in a sentence.
  constexpr std::string_view unread = ToTranslate("The command line could not be read: {0}");
  // TRANSLATORS: {0} is the command line parser's own message, in English.
  return Tr(unread).data() == unread.data() ? what : Say(unread, what);
}

}  // namespace

int ParseAndRun(CLI::App& app, std::vector<std::string>& arguments, const int& exitCode,
                const std::string& program) {
  // Said as the parse left the commands, before anything else reads them.
  std::optional<std::string> said;
  app.failure_message([&](const CLI::App* parsed, const CLI::Error& error) {
    std::string text = (said ? *said : ParseErrorText(*parsed, error, arguments)) + "\n";
    if (parsed->get_help_ptr() != nullptr)
      text += Say("Run with {0} for more information.", parsed->get_help_ptr()->get_name()) + "\n";
    return text;
  });
  LastRefusedValue().reset();
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() != 0) said = ParseErrorText(app, e, arguments);
    if (const std::string unknown = e.get_exit_code() == 0 ? "" : UnknownOptionMessage(app);
        !unknown.empty()) {
      std::cerr << unknown << "\n";
      return exitTrouble;
    }
    const int code = app.exit(e);
    return code == 0 ? 0 : exitTrouble;
  } catch (const std::bad_alloc&) {
    // The run's destinations were not replaced: the commit comes after all the work.
    ReportFailure(Say("{0}: not enough memory for this run; nothing was written.", program),
                  exitTrouble);
    return exitTrouble;
  } catch (const std::exception& e) {
    ReportFailure(Say("{0}: the run failed: {1}; nothing was written.", program, e.what()),
                  exitTrouble);
    return exitTrouble;
  }
  return exitCode;
}

}  // namespace pexol::cli
