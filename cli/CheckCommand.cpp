// cli/CheckCommand.cpp - `pexol-cli check`: media files a project names that are missing
#include <CLI/CLI.hpp>

#include "cli/Commands.h"

namespace pexol::cli {

void AddCheckCommand(CLI::App&, int&) {}

}  // namespace pexol::cli
