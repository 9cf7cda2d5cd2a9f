// app/win32/Prompts.h - message boxes and file dialogs, or a test's answers in their place
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>

#include "app/pages/FileRequest.h"

namespace pexol::win32 {

/// The window's modal boxes. Made for a test, it never opens one: messages are appended to
/// `messagesFile` (UTF-8, each followed by a line "----"), questions take the next answer
/// (none left: No) and file dialogs the next chosen name (none left: cancelled).
class Prompts {
 public:
  void ShowMessage(HWND owner, const std::string& text, bool exclamation);
  bool Question(HWND owner, const std::string& text);
  /// The UTF-8 path the user confirmed, or nullopt for a cancelled dialog.
  std::optional<std::string> ChooseFile(HWND owner, const pages::FileRequest& request);

  bool scripted = false;
  std::wstring messagesFile;
  std::deque<bool> answers;
  std::deque<std::string> chosen;
};

}  // namespace pexol::win32
