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

/// Runs `command` with sh in `folder`: its exit status, and what it wrote to standard error.
inline CliOutcome ShellIn(const TempFolder& folder, const std::string& command) {
  const std::string err = folder.Folder().string() + ".shell-err";
  const int status = std::system(
      ("cd '" + folder.Folder().string() + "' && { " + command + "; } >/dev/null 2>'" + err + "'")
          .c_str());
  std::ifstream in(err, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(err);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", text};
}

/// The here-document of a Slurm plan that ends with `end`: the script a job is submitted with.
inline std::string SubmittedScript(const std::string& plan, const std::string& end) {
  const std::size_t start = plan.find("<<'" + end + "'\n");
  if (start == std::string::npos) return "";
  const std::size_t body = plan.find('\n', start) + 1;
  return plan.substr(body, plan.find("\n" + end + "\n", body) + 1 - body);
}

}  // namespace pexol::test
