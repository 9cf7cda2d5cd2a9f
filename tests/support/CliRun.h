// tests/support/CliRun.h - the command line run as a user runs it, in a test's folder
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TempFolder.h"

namespace pexol::test {

struct CliOutcome {
  int exitCode;  ///< -1 when the process did not exit (a signal ended it)
  std::string out;
  std::string err;
};

/// Runs `pexol-cli ARGUMENTS` in `folder`, after `shell` (such as "ulimit -f 1;"); what it
/// prints is kept beside the folder, so that the folder holds only what the run wrote.
inline CliOutcome RunCli(const char* cli, const TempFolder& folder, const std::string& arguments,
                         const std::string& shell = "") {
  const std::string logs = folder.Folder().string();
  const std::string command = "cd '" + logs + "' && " + shell + " '" + cli + "' " + arguments +
                              " >'" + logs + ".out' 2>'" + logs + ".err'";
  const int status = std::system(command.c_str());
  const auto slurp = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(path);
    return bytes;
  };
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(logs + ".out"), slurp(logs + ".err")};
}

}  // namespace pexol::test
