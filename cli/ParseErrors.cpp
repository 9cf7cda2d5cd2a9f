// cli/ParseErrors.cpp - the command line parsed: CLI11's errors in the reader's language, and what
// a run that throws says
#include "cli/CliCommon.h"

#include <iostream>
#include <new>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/Translation.h"

namespace pexol::cli {

namespace {

// CLI11's message for a parse error, in the chosen language where its form is known; the
// English templates give CLI11's own words byte for byte.
std::string ParseErrorText(const CLI::Error& error) {
  const std::string what = error.what();
  std::smatch match;
  const auto is = [&](const char* pattern) {
    return std::regex_match(what, match, std::regex(pattern));
  };
  const std::string kind = error.get_name();
  if (kind == "RequiredError" && what == "A subcommand is required")
    return std::string(Tr("A subcommand is required"));
  if (kind == "RequiredError" && is("(.+) is required"))
    return Say("{0} is required", match[1].str());
  if (kind == "ExtrasError" && is("The following argument was not expected: (.*)"))
    return Say("The following argument was not expected: {0}", match[1].str());
  if (kind == "ExtrasError" && is("The following arguments were not expected: (.*)"))
    return Say("The following arguments were not expected: {0}", match[1].str());
  if (kind == "RequiresError" && is("(\\S+) requires (\\S+)"))
    return Say("{0} requires {1}", match[1].str(), match[2].str());
  if (kind == "ExcludesError" && is("(\\S+) excludes (\\S+)"))
    return Say("{0} excludes {1}", match[1].str(), match[2].str());
  if (kind == "ArgumentMismatch" && is("(\\S+): 1 required (\\S+) missing"))
    return Say("{0}: 1 required {1} missing", match[1].str(), match[2].str());
  // CLI11 says a positive number's range up to the largest double, in full: a translation
  // says what it means.
  constexpr std::string_view positive = ToTranslate("{0}: {1} is not a number greater than 0");
  if (Tr(positive).data() != positive.data() && kind == "ValidationError" &&
      is("(\\S+): Value (\\S+) not in range 0\\.0+ to \\d{300,}\\.0+"))
    return Say(positive, match[1].str(), match[2].str());
  if (kind == "ValidationError" && is("(\\S+): Value (\\S+) not in range (\\S+) to (\\S+)"))
    return Say("{0}: Value {1} not in range {2} to {3}", match[1].str(), match[2].str(),
               match[3].str(), match[4].str());
  // A value outside a set: English keeps CLI11's words, which show the set as its code holds
  // it; a translation names the values alone.
  constexpr std::string_view outside = ToTranslate("{0}: \"{1}\" is not one of {2}");
  const bool translated = Tr(outside).data() != outside.data();
  if (translated && kind == "ValidationError" &&
      (is("(\\S+): Check (.*) value in \\{([^}]*)\\}.* FAILED") ||
       is("(\\S+): (.*) not in \\{([^}]*)\\}"))) {
    std::vector<std::string> values;
    std::stringstream list(match[3].str());
    for (std::string value; std::getline(list, value, ',');)
      values.push_back(value.substr(0, value.find("->")));
    return Say(outside, match[1].str(), match[2].str(), OneOf(values));
  }
  if (kind == "ConversionError" && is("The value (.*) is not an allowed value for (\\S+)"))
    return Say("The value {0} is not an allowed value for {1}", match[1].str(), match[2].str());
  if (kind == "ConversionError" && is("Could not convert: (\\S+) = (.*)"))
    return Say("Could not convert: {0} = {1}", match[1].str(), match[2].str());
  return what;
}

// CLI11's simple failure message, translated.
std::string FailureMessage(const CLI::App* app, const CLI::Error& error) {
  std::string text = ParseErrorText(error) + "\n";
  if (app->get_help_ptr() != nullptr)
    text += Say("Run with {0} for more information.", app->get_help_ptr()->get_name()) + "\n";
  return text;
}

}  // namespace

int ParseAndRun(CLI::App& app, std::vector<std::string>& arguments, const int& exitCode,
                const std::string& program) {
  app.failure_message(FailureMessage);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
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
