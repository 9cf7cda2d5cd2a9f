// cli/PackageDescription.h - what the Debian package says of itself, from the program's tables
#pragma once

#include <string>

namespace pexol::cli {

/// The package's long description (English, as Debian's descriptions are): what pexol reads and
/// does, with every export format of the table, so that a new format is named without an edit.
std::string PackageDescription();

}  // namespace pexol::cli
