// app/win32/Dialogs.cpp - small modal windows built in code, with dialog keyboard handling
#include "app/win32/Dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <initializer_list>

#include "app/pages/ControlIds.h"
#include "app/pages/FindPage.h"
#include "app/win32/Prompts.h"
#include "core/Translation.h"

namespace pexol::win32 {

namespace {

constexpr wchar_t modalClass[] = L"pexolModal";

/// A modal window: the owner is disabled while it is open; Enter presses OK (IDOK), Escape and
/// the close box Cancel (IDCANCEL); `command` sees every other button.
class Modal {
 public:
  Modal(HWND owner, const std::wstring& title, int width, int height, const Metrics& metrics)
      : owner(owner), metrics(metrics) {
    static const bool registered = [] {
      return RegisterWindowClass(modalClass, &Modal::Procedure);
    }();
    (void)registered;
    RECT frame{0, 0, width, height};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    AdjustWindowRectExForDpi(&frame, style, FALSE, WS_EX_DLGMODALFRAME, metrics.Dpi());
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    handle = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, modalClass, title.c_str(),
                             style, ownerRect.left + (ownerRect.right - ownerRect.left - w) / 2,
                             ownerRect.top + (ownerRect.bottom - ownerRect.top - h) / 2, w, h,
                             owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(handle, L"pexolModal", this);
  }

  HWND Add(const wchar_t* className, std::wstring_view text, DWORD style, int id, int x, int y,
           int w, int h) {
    HWND control = MakeControl(handle, className, text, style, id, metrics);
    Place(control, x, y, w, h);
    return control;
  }

  /// Shows the window until OK or Cancel; true for OK.
  bool Run() {
    EnableWindow(owner, FALSE);
    ShowWindow(handle, SW_SHOW);
    MSG message;
    while (!done && GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (IsDialogMessageW(handle, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
    ShowWindow(handle, SW_HIDE);
    return accepted;
  }

  ~Modal() { DestroyWindow(handle); }

  std::function<void(int id)> command;
  std::function<bool()> accept = [] { return true; };
  HWND handle = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* modal = static_cast<Modal*>(GetPropW(window, L"pexolModal"));
    if (modal != nullptr && message == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
      const int id = LOWORD(w);
      if (id == IDOK && modal->accept())
        modal->Close(true);
      else if (id == IDCANCEL)
        modal->Close(false);
      else if (modal->command)
        modal->command(id);
      return 0;
    }
    if (modal != nullptr && message == WM_CLOSE) {
      modal->Close(false);
      return 0;
    }
    return DefWindowProcW(window, message, w, l);
  }
  void Close(bool ok) {
    accepted = ok;
    done = true;
  }

  HWND owner;
  const Metrics& metrics;
  bool done = false;
  bool accepted = false;
};

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(wcslen(item.c_str()));
    items.push_back(Utf8(item));
  }
  return items;
}

void AddItem(HWND list, const std::string& item) {
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

/// The widest of `texts` as a button shows it, at least the usual button's width.
int ButtonWidth(const Metrics& m, std::initializer_list<std::wstring_view> texts) {
  int widest = m.Scale(75);
  for (std::wstring_view text : texts) widest = std::max(widest, m.LabelWidth(text) + m.Scale(24));
  return widest;
}

/// The widest of `texts` as a line or a check box shows it.
int LineWidth(const Metrics& m, std::initializer_list<std::wstring_view> texts) {
  int widest = 0;
  for (std::wstring_view text : texts) widest = std::max(widest, m.LabelWidth(text));
  return widest;
}

void RemoveSelected(HWND list) {
  const auto selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (selected != LB_ERR) SendMessageW(list, LB_DELETESTRING, selected, 0);
}

}  // namespace

std::optional<pages::MediaFolders> EditMediaFolders(HWND owner, const pages::MediaFolders& folders,
                                                    Prompts& prompts, const Metrics& m,
                                                    const std::string& windowsFolderStart) {
  if (prompts.scripted) return std::nullopt;
  const int margin = m.Margin();
  const int row = m.ControlHeight();
  const int line = m.LineHeight();
  const int gap = m.Gap();
  const std::wstring title = Wide(Tr("media folders"));
  const std::wstring mapsCaption = Wide(Tr("Windows folder moved to a folder here"));
  const std::wstring searchCaption = Wide(Tr("search folders (searched by file name)"));
  const std::wstring add = Wide(Tr("add"));
  const std::wstring addFolder = Wide(Tr("add..."));
  const std::wstring remove = Wide(Tr("remove"));
  const std::wstring ok = Wide(Tr("OK"));
  const std::wstring cancel = Wide(Tr("Cancel"));
  const int button = ButtonWidth(m, {add, addFolder, remove, ok, cancel});
  const int width =
      std::max(m.TextWidth(L"x") * 70, LineWidth(m, {mapsCaption, searchCaption}) + 2 * margin);
  const int inner = width - 2 * margin;
  const int listHeight = 5 * line;
  const int height = margin + 2 * line + 3 * row + 2 * listHeight + 7 * gap + row + margin;
  Modal dialog(owner, title, width, height, m);
  int y = margin;
  dialog.Add(WC_STATICW, mapsCaption, SS_LEFT, -1, margin, y, inner, line);
  y += line + gap / 2;
  const int arrow = m.TextWidth(L"->") + gap;
  const int chooser = std::max(row, m.TextWidth(L"...") + m.Scale(16));
  const int fields = inner - arrow - chooser - button - 3 * gap;
  HWND windowsFolder = dialog.Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, -1,
                                  margin, y, fields / 3, row);
  SendMessageW(windowsFolder, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"C:\\Video"));
  // A missing clip's folder: the rule for it wants only the local folder.
  SetWindowTextW(windowsFolder, Wide(windowsFolderStart).c_str());
  int x = margin + fields / 3 + gap / 2;
  dialog.Add(WC_STATICW, L"->", SS_CENTER, -1, x, y + (row - line) / 2, arrow - gap / 2, line);
  x += arrow;
  HWND localFolder = dialog.Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, -1, x, y,
                                fields - fields / 3, row);
  x += fields - fields / 3 + gap;
  dialog.Add(WC_BUTTONW, L"...", BS_PUSHBUTTON | WS_TABSTOP, ids::mediaChooseLocal, x, y, chooser,
             row);
  dialog.Add(WC_BUTTONW, add, BS_PUSHBUTTON | WS_TABSTOP, ids::mediaAddMap, margin + inner - button,
             y, button, row);
  y += row + gap;
  HWND maps =
      dialog.Add(WC_LISTBOXW, L"", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                 ids::mediaMaps, margin, y, inner, listHeight);
  y += listHeight + gap;
  dialog.Add(WC_BUTTONW, remove, BS_PUSHBUTTON | WS_TABSTOP, ids::mediaRemoveMap,
             margin + inner - button, y, button, row);
  y += row + gap;
  dialog.Add(WC_STATICW, searchCaption, SS_LEFT, -1, margin, y, inner, line);
  y += line + gap / 2;
  HWND search =
      dialog.Add(WC_LISTBOXW, L"", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                 ids::mediaSearchFolders, margin, y, inner, listHeight);
  y += listHeight + gap;
  dialog.Add(WC_BUTTONW, addFolder, BS_PUSHBUTTON | WS_TABSTOP, ids::mediaAddSearchFolder,
             margin + inner - 2 * button - gap, y, button, row);
  dialog.Add(WC_BUTTONW, remove, BS_PUSHBUTTON | WS_TABSTOP, ids::mediaRemoveSearchFolder,
             margin + inner - button, y, button, row);
  y += row + 2 * gap;
  dialog.Add(WC_BUTTONW, ok, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, margin + inner - 2 * button - gap,
             y, button, row);
  dialog.Add(WC_BUTTONW, cancel, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, margin + inner - button, y,
             button, row);
  for (const std::string& map : folders.maps) AddItem(maps, map);
  for (const std::string& folder : folders.searchFolders) AddItem(search, folder);

  const pages::FileRequest folderRequest = pages::ChooseFolder();
  dialog.command = [&](int id) {
    if (id == ids::mediaChooseLocal) {
      if (const auto folder = prompts.ChooseFile(dialog.handle, folderRequest))
        SetWindowTextW(localFolder, Wide(*folder).c_str());
    } else if (id == ids::mediaAddMap) {
      if (const auto rule =
              pages::MapRule(Utf8(TextOf(windowsFolder)), Utf8(TextOf(localFolder)))) {
        AddItem(maps, *rule);
        SetWindowTextW(windowsFolder, L"");
        SetWindowTextW(localFolder, L"");
      }
    } else if (id == ids::mediaRemoveMap) {
      RemoveSelected(maps);
    } else if (id == ids::mediaAddSearchFolder) {
      if (const auto folder = prompts.ChooseFile(dialog.handle, folderRequest))
        AddItem(search, *folder);
    } else if (id == ids::mediaRemoveSearchFolder) {
      RemoveSelected(search);
    }
  };
  if (!dialog.Run()) return std::nullopt;
  return pages::MediaFolders{Items(maps), Items(search)};
}

std::optional<CollectChoice> AskToCollect(HWND owner, Prompts& prompts, const Metrics& m) {
  if (prompts.scripted) {
    // A test names the folder as a file dialog's answer; nothing else is asked.
    const auto folder = prompts.ChooseFile(owner, pages::ChooseFolder());
    if (!folder) return std::nullopt;
    return CollectChoice{*folder, {}, false};
  }
  const auto formats = pages::CollectFormats();
  const int margin = m.Margin();
  const int row = m.ControlHeight();
  const int line = m.LineHeight();
  const int gap = m.Gap();
  const int check = line + m.Scale(6);
  const std::wstring title = Wide(Tr("collect"));
  const std::wstring folderCaption = Wide(Tr("new or empty folder for the project and its media"));
  const std::wstring formatsCaption = Wide(Tr("also export the collected project as"));
  const std::wstring linkText = Wide(Tr("hard links instead of copies where the disk allows"));
  const std::wstring cancel = Wide(Tr("Cancel"));
  const int button = ButtonWidth(m, {title, cancel});
  const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, m.Dpi()) + m.Scale(8);
  int width = std::max({m.TextWidth(L"x") * 60, LineWidth(m, {folderCaption, formatsCaption}),
                        box + LineWidth(m, {linkText})});
  for (const pages::CollectFormat& format : formats)
    width = std::max(width, box + m.LabelWidth(Wide(format.label)));
  width += 2 * margin;
  const int inner = width - 2 * margin;
  const int height = margin + 2 * line + row + static_cast<int>(formats.size() + 1) * check +
                     4 * gap + row + margin;
  Modal dialog(owner, title, width, height, m);
  int y = margin;
  dialog.Add(WC_STATICW, folderCaption, SS_LEFT, ids::collectFolderLabel, margin, y, inner, line);
  y += line + gap / 2;
  const int chooser = std::max(row, m.TextWidth(L"...") + m.Scale(16));
  HWND folder = dialog.Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                           ids::collectFolder, margin, y, inner - chooser - m.Scale(4), row);
  dialog.Add(WC_BUTTONW, L"...", BS_PUSHBUTTON | WS_TABSTOP, ids::collectFolderChooser,
             margin + inner - chooser, y, chooser, row);
  y += row + gap;
  dialog.Add(WC_STATICW, formatsCaption, SS_LEFT, ids::collectFormatsLabel, margin, y, inner, line);
  y += line + gap / 2;
  std::vector<std::pair<HWND, std::string>> boxes;
  for (const pages::CollectFormat& format : formats) {
    boxes.emplace_back(dialog.Add(WC_BUTTONW, Wide(format.label), BS_AUTOCHECKBOX | WS_TABSTOP,
                                  format.id, margin, y, inner, check),
                       format.name);
    y += check;
  }
  HWND link = dialog.Add(WC_BUTTONW, linkText, BS_AUTOCHECKBOX | WS_TABSTOP, ids::collectLink,
                         margin, y, inner, check);
  y += check + 2 * gap;
  dialog.Add(WC_BUTTONW, title, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
             margin + inner - 2 * button - gap, y, button, row);
  dialog.Add(WC_BUTTONW, cancel, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, margin + inner - button, y,
             button, row);
  dialog.command = [&](int id) {
    if (id != ids::collectFolderChooser) return;
    if (const auto path = prompts.ChooseFile(dialog.handle, pages::ChooseFolder()))
      SetWindowTextW(folder, Wide(*path).c_str());
  };
  // "collect" needs a folder.
  dialog.accept = [folder] { return GetWindowTextLengthW(folder) > 0; };
  if (!dialog.Run()) return std::nullopt;
  CollectChoice choice{Utf8(TextOf(folder)), {}, false};
  for (const auto& [box, name] : boxes)
    if (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) choice.formats.push_back(name);
  choice.link = SendMessageW(link, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return choice;
}

}  // namespace pexol::win32
