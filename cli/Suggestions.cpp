// cli/Suggestions.cpp - a command or option the parser does not know, and the nearest one it does
#include "cli/CliCommon.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol::cli {

namespace {

// The edits (one letter added, dropped, changed or two swapped) from `a` to `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> before(b.size() + 1), row(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = row[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({row[j] + 1, current[j - 1] + 1, change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    before.swap(row);
    row.swap(current);
  }
  return row[b.size()];
}

// Whether `nearest`, `distance` edits away, is near enough to suggest.
bool Near(const std::string& nearest, std::size_t distance) {
  return !nearest.empty() && distance <= std::max<std::size_t>(2, nearest.size() / 3);
}

}  // namespace

std::string UnknownCommandMessage(const CLI::App& app, const std::vector<std::string>& arguments) {
  if (arguments.size() < 2 || arguments[1].empty() || arguments[1].front() == '-') return {};
  const std::string& given = arguments[1];
  std::string nearest;
  std::size_t best = std::string::npos;
  for (const CLI::App* command : app.get_subcommands(IsCommand)) {
    if (command->check_name(given)) return {};
    const std::size_t distance = EditDistance(given, command->get_name());
    if (distance < best) {
      best = distance;
      nearest = command->get_name();
    }
  }
  // A suggestion far from what was typed would only mislead.
  const std::string message =
      Near(nearest, best) ? Say("pexol-cli: there is no command \"{0}\". Did you mean \"{1}\"?",
                                Printable(given), nearest)
                          : Say("pexol-cli: there is no command \"{0}\".", Printable(given));
  return message + "\n" + std::string(Tr("Run 'pexol-cli --help' for the commands."));
}

std::string UnknownOptionMessage(const CLI::App& app) {
  // The command the parse reached: a later one is none, as one command runs at a time.
  const std::vector<CLI::App*>& parsed = app.get_subcommands();
  if (parsed.empty() || !IsCommand(parsed.front())) return {};
  const CLI::App& command = *parsed.front();
  for (std::string given : command.remaining()) {
    if (!given.starts_with("--") || given == "--") continue;  // "--" ends the options
    given = given.substr(0, given.find('='));
    std::string nearest;
    std::size_t best = std::string::npos;
    for (const CLI::Option* option : command.get_options()) {
      for (const std::string& name : option->get_lnames()) {
        const std::string each = "--" + name;
        const std::size_t distance = EditDistance(given, each);
        if (distance < best) {
          best = distance;
          nearest = each;
        }
      }
    }
    const std::string name = command.get_name();
    const std::string message =
        Near(nearest, best)
            ? Say("pexol-cli: there is no option \"{0}\" for {1}. Did you mean \"{2}\"?",
                  Printable(given), name, nearest)
            : Say("pexol-cli: there is no option \"{0}\" for {1}.", Printable(given), name);
    return message + "\n" + Say("Run 'pexol-cli {0} --help' for its options.", name);
  }
  return {};
}

}  // namespace pexol::cli
