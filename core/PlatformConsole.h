// core/PlatformConsole.h - the command line and standard streams as a program sees them
#pragma once

#include <string>
#include <vector>

namespace pexol::platform {

/// The program's arguments as UTF-8. Windows hands `main` the ANSI code page's version, in
/// which a Japanese file name is a row of '?'; there they are read from the wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

/// For the life of a run, standard output carries bytes unchanged (Windows would turn every LF
/// of a CR LF text into CR LF) and the Windows console shows UTF-8 messages.
class ConsoleSession {
 public:
  ConsoleSession();
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

 private:
  unsigned int previousCodePage_ = 0;
};

}  // namespace pexol::platform
