// tests/support/SharedFolder.h - the material shared beside the checkout (../shared): the FCPXML
// DTD and pyaaf2, the independent readers some tests hold the exports to
#pragma once

#include <filesystem>

namespace pexol::test {

/// ../shared beside the sources.
inline std::filesystem::path SharedFolder() {
  return std::filesystem::path(PEXOL_SOURCE_DIR) / ".." / "shared";
}

/// True where ../shared is here at all. A test that needs what it holds skips only where it is
/// absent; where it is here but what the test needs is missing or does not run, the test fails,
/// so that a broken reader never passes for a sound export.
inline bool SharedFolderHere() {
  return std::filesystem::is_directory(SharedFolder());
}

}  // namespace pexol::test
