// app/win32/Main.cpp - pexol.exe: the Win32 window, and the script a test drives it with
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>

#include <functional>
#include <string>

#include "app/pages/Language.h"
#include "app/win32/MainWindow.h"
#include "core/PlatformPath.h"
#include "core/Translation.h"
#include "core/Version.h"

namespace {

constexpr std::string_view usage = pexol::ToTranslate(
    "Usage: pexol [OPTIONS]\n"
    "\n"
    "The desktop window of pexol: video project files (.mpj) to text and back, their media\n"
    "found, their timelines exported. Every page remembers its fields (in the registry, under\n"
    "HKEY_CURRENT_USER\\Software\\pexol).\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "For tests and demonstrations the window can be driven, step by step in the order given:\n"
    "      --settings KEY     remember the settings under HKEY_CURRENT_USER\\KEY instead\n"
    "      --page N           bring page N (0 the first) to the front\n"
    "      --set ID=VALUE     type VALUE into control ID, or tick it (1) or clear it (0)\n"
    "      --click ID         press button ID, and wait for the run it starts\n"
    "      --screenshot FILE  write the window's pixels to FILE (BMP)\n"
    "      --close            close the window\n"
    "  With a script no box opens: messages are appended to --messages FILE, questions take\n"
    "  the next --answer yes|no (else No), file dialogs the next --choose PATH (else cancelled).\n"
    "\n"
    "For scripts and batch work use the command line: run 'pexol-cli --help'.\n");

using pexol::win32::ScriptStep;

int Fail(const std::string& message) {
  std::fprintf(stderr, "pexol: %s\n", message.c_str());
  return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(pexol::win32::Utf8(arguments[i]));
  LocalFree(arguments);

  std::wstring root = L"Software\\pexol";
  pexol::win32::Prompts prompts;
  std::deque<ScriptStep> script;
  std::string project;
  // What ends the start before the window opens (help, version, a wrong option) speaks the
  // window's language, which the settings (--settings) choose: it waits until they are known.
  std::function<int()> early;
  for (std::size_t i = 0; i < args.size() && !early; ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      early = [] {
        std::fputs(std::string(pexol::Tr(usage)).c_str(), stdout);
        return 0;
      };
      break;
    }
    if (option == "--version") {
      early = [] {
        std::printf("pexol %.*s\n", static_cast<int>(pexol::version.size()), pexol::version.data());
        return 0;
      };
      break;
    }
    if (option == "--close") {
      script.push_back({ScriptStep::Kind::Close});
      continue;
    }
    // A project, as Explorer names the file opened with the window; the first one counts.
    if (!option.starts_with('-')) {
      if (project.empty()) project = option;
      continue;
    }
    if (i + 1 >= args.size()) {
      early = [option] { return Fail(pexol::Say("{0} needs a value; see --help", option)); };
      break;
    }
    const std::string value = args[++i];
    const std::size_t equals = value.find('=');
    if (option == "--settings") {
      root = pexol::win32::Wide(value);
    } else if (option == "--messages") {
      prompts.messagesFile = pexol::win32::Wide(value);
    } else if (option == "--answer") {
      prompts.answers.push_back(value == "yes");
    } else if (option == "--choose") {
      prompts.chosen.push_back(value);
    } else if (option == "--page") {
      script.push_back({ScriptStep::Kind::Page, std::atoi(value.c_str())});
    } else if (option == "--click") {
      script.push_back({ScriptStep::Kind::Click, std::atoi(value.c_str())});
    } else if (option == "--screenshot") {
      script.push_back({ScriptStep::Kind::Screenshot, 0, value});
    } else if (option == "--set" && equals != std::string::npos) {
      script.push_back({ScriptStep::Kind::Set, std::atoi(value.substr(0, equals).c_str()),
                        value.substr(equals + 1)});
    } else {
      early = [option] { return Fail(pexol::Say("unknown option {0}; see --help", option)); };
    }
  }
  pexol::win32::RegistrySettings settings(root);
  // The access keys are the English window's in every language; the English texts they come
  // from are read before a catalogue is chosen, and every other text after it.
  pexol::win32::KeepEnglishLabels();
  pexol::pages::UseWindowLanguage(settings, pexol::platform::ProgramFolder());
  if (early) return early();
  prompts.scripted = !script.empty() || !prompts.messagesFile.empty();

  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The folder dialog is a shell object.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 0;
  {
    pexol::win32::MainWindow window(settings, prompts);
    if (!project.empty()) window.OpenProject(project);
    status = window.Run(std::move(script));
  }
  CoUninitialize();
  return status;
}
