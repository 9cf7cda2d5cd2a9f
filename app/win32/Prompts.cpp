// app/win32/Prompts.cpp - MessageBoxW and the common file dialogs
#include "app/win32/Prompts.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "app/win32/Ui.h"
#include "run/RunMessages.h"

namespace pexol::win32 {

namespace {

const std::wstring& Caption() {
  static const std::wstring caption = Wide(messageCaption);
  return caption;
}

std::optional<std::string> ChooseFolder(HWND owner) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse);
  if (list == nullptr) return std::nullopt;
  std::wstring path(MAX_PATH * 8, L'\0');
  const bool named = SHGetPathFromIDListEx(list, path.data(), static_cast<DWORD>(path.size()), 0);
  CoTaskMemFree(list);
  if (!named) return std::nullopt;
  path.resize(wcslen(path.c_str()));
  return Utf8(path);
}

}  // namespace

void Prompts::ShowMessage(HWND owner, const std::string& text, bool exclamation) {
  if (scripted) {
    if (FILE* out = _wfopen(messagesFile.c_str(), L"ab")) {
      std::fputs((text + "\n----\n").c_str(), out);
      std::fclose(out);
    }
    return;
  }
  MessageBoxW(owner, Wide(text).c_str(), Caption().c_str(),
              MB_OK | (exclamation ? MB_ICONEXCLAMATION : 0));
}

bool Prompts::Question(HWND owner, const std::string& text) {
  if (scripted) {
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  return MessageBoxW(owner, Wide(text).c_str(), Caption().c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> Prompts::ChooseFile(HWND owner, const pages::FileRequest& request) {
  if (scripted) {
    if (chosen.empty()) return std::nullopt;
    std::string path = std::move(chosen.front());
    chosen.pop_front();
    return path;
  }
  if (request.kind == pages::FileDialogKind::Folder) return ChooseFolder(owner);
  // "label\0patterns\0...\0\0"; the list starts with the entry of the initial pattern.
  std::wstring filter;
  DWORD shown = 1;
  DWORD index = 1;
  for (const pages::FilterEntry& entry : pages::FilterEntries(request.filter)) {
    filter += Wide(entry.label) + L'\0' + Wide(entry.patterns) + L'\0';
    if (entry.patterns == request.initialName) shown = index;
    ++index;
  }
  filter += L'\0';
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring extension = Wide(request.defaultExtension);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = shown;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  bool accepted = false;
  if (request.kind == pages::FileDialogKind::SaveAs) {
    // The dialog asks before an existing file is replaced; the run does not ask again.
    dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    accepted = GetSaveFileNameW(&dialog) != 0;
  } else {
    // The file itself need not exist yet: the run says what it makes of a missing one.
    dialog.Flags |= OFN_PATHMUSTEXIST;
    accepted = GetOpenFileNameW(&dialog) != 0;
  }
  if (!accepted) return std::nullopt;
  return Utf8(name.data());
}

}  // namespace pexol::win32
