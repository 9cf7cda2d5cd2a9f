// cli/RefusedValues.cpp - the checks of option values, each noting a value it refuses so that
// the parse error says it as one sentence in the reader's language
#include <cstdio>
#include <limits>

#include "cli/CliCommon.h"
#include "core/CountedText.h"

namespace pexol::cli {

namespace {

// A bound as a person writes it: "100", "0.001".
std::string Written(double number) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", number);
  return text;
}

}  // namespace

std::optional<RefusedValue>& LastRefusedValue() {
  static std::optional<RefusedValue> refused;
  return refused;
}

std::string Refuse(std::string_view sentence, std::vector<std::string> pieces,
                   std::string cli11Words) {
  const bool ownEnglish = !cli11Words.empty();
  std::string given = std::move(cli11Words);
  if (!ownEnglish) {
    // CLI11 puts "OPTION: " before what a check gives it: the sentence's English after "{0}: ".
    std::vector<std::string> all = {""};
    all.insert(all.end(), pieces.begin(), pieces.end());
    given = FillAll(sentence, all);
    if (given.starts_with(": ")) given.erase(0, 2);
  }
  LastRefusedValue() = RefusedValue{given, sentence, std::move(pieces), ownEnglish};
  return given;
}

CLI::Validator Refusing(CLI::Validator check, std::string_view sentence,
                        std::vector<std::string> after) {
  const std::string description = check.get_description();
  return CLI::Validator(
      [check, sentence, after](std::string& value) {
        const std::string given = value;
        std::string refused = check(value);
        if (refused.empty()) return refused;
        std::vector<std::string> pieces = {given};
        pieces.insert(pieces.end(), after.begin(), after.end());
        return Refuse(sentence, std::move(pieces), std::move(refused));
      },
      description, check.get_name());
}

namespace {

// CLI11's range of the option's own type, whose English words it keeps ("1 to 256").
template <typename Number>
CLI::Validator NumberWithin(Number least, Number most) {
  // TRANSLATORS: {0} is an option, {1} the value given, {2} and {3} the bounds.
  return Refusing(CLI::Range(least, most), ToTranslate("{0}: {1} is not a number from {2} to {3}"),
                  {Written(least), Written(most)});
}

}  // namespace

CLI::Validator NumberFrom(int least, int most) {
  return NumberWithin(least, most);
}

CLI::Validator NumberFrom(double least, double most) {
  return NumberWithin(least, most);
}

CLI::Validator PositiveNumber() {
  return Refusing(CLI::PositiveNumber, ToTranslate("{0}: {1} is not a number greater than 0"));
}

CLI::Validator NonNegativeNumber() {
  return Refusing(CLI::NonNegativeNumber, ToTranslate("{0}: {1} is not a number of 0 or more"));
}

CLI::Validator OneOfNames(const std::vector<std::string>& names, bool anyCase) {
  return Refusing(anyCase ? CLI::IsMember(names, CLI::ignore_case) : CLI::IsMember(names),
                  ToTranslate("{0}: \"{1}\" is not one of {2}"), {OneOf(names)});
}

}  // namespace pexol::cli
