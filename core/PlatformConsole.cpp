// core/PlatformConsole.cpp - arguments and standard streams: as given on POSIX, wide on Windows
#include "core/PlatformConsole.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "core/PlatformPath.h"
#endif

namespace pexol::platform {

#ifndef _WIN32

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;

#else

namespace {
struct FreeLocal {
  void operator()(wchar_t** block) const { LocalFree(block); }
};
}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<wchar_t*, FreeLocal> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8OfWide(wide.get()[i]));
  return arguments;
}

ConsoleSession::ConsoleSession() : previousCodePage_(GetConsoleOutputCP()) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (previousCodePage_ != 0) SetConsoleOutputCP(CP_UTF8);
}

ConsoleSession::~ConsoleSession() {
  // The console outlives the run; the user's own setting comes back, after what is still
  // buffered has been shown in UTF-8.
  std::fflush(stdout);
  std::fflush(stderr);
  if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}

#endif

}  // namespace pexol::platform
