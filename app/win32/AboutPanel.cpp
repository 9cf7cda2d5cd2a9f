// app/win32/AboutPanel.cpp - the "about" page: icon, name, version and notice, and the window's
// languages
#include "app/win32/AboutPanel.h"

#include <commctrl.h>

#include <algorithm>

#include "app/pages/ControlIds.h"
#include "app/pages/Language.h"
#include "app/pages/SettingsStore.h"
#include "app/pages/WindowRules.h"
#include "app/win32/PagePanel.h"

namespace pexol::win32 {

AboutPanel::AboutPanel(HWND window, const Metrics& metrics, pages::SettingsStore& settings)
    : metrics(&metrics), settings(settings) {
  handle = CreateWindowExW(WS_EX_CONTROLPARENT, PanelClass(), L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                           0, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  icon = MakeControl(handle, WC_STATICW, L"", SS_ICON | SS_REALSIZECONTROL, ids::aboutPicture,
                     metrics);
  lines.push_back(
      MakeControl(handle, WC_STATICW, Wide(pages::aboutName), SS_LEFT, ids::aboutName, metrics));
  for (const pages::AboutLine& line : pages::AboutLines())
    lines.push_back(MakeControl(handle, WC_STATICW, Wide(line.text), SS_LEFT, line.id, metrics));
  std::wstring keys;
  languageLabel = MakeControl(handle, WC_STATICW,
                              WithEnglishKey(Wide(pages::LanguageLabel()), L"language", keys),
                              SS_LEFT, ids::aboutLanguageLabel, metrics);
  languageList = MakeControl(handle, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                             ids::aboutLanguage, metrics);
  const std::string chosen = settings.Text(std::string(pages::languageKey)).value_or("");
  int selected = 0;
  int index = 0;
  for (const pages::LanguageChoice& choice : pages::LanguageChoices()) {
    // Each language by its own name; the system's entry in the language shown now.
    const std::wstring name = Wide(pages::ChoiceName(choice));
    SendMessageW(languageList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (!choice.code.empty() && choice.code == chosen) selected = index;
    ++index;
  }
  SendMessageW(languageList, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  languageNote = MakeControl(handle, WC_STATICW, Wide(pages::LanguageNote()), SS_LEFT,
                             ids::aboutLanguageNote, metrics);
  SetPropW(handle, L"pexolAbout", this);
  SetMetrics(metrics);
}

AboutPanel::~AboutPanel() {
  RemovePropW(handle, L"pexolAbout");
}

void AboutPanel::Chosen() {
  const auto selected = SendMessageW(languageList, CB_GETCURSEL, 0, 0);
  const auto choices = pages::LanguageChoices();
  if (selected < 0 || static_cast<std::size_t>(selected) >= choices.size()) return;
  settings.SetText(std::string(pages::languageKey),
                   std::string(choices[static_cast<std::size_t>(selected)].code));
}

void AboutPanel::SetMetrics(const Metrics& now) {
  metrics = &now;
  // Two lines of text high, so the icon grows with the font like everything around it.
  const int side = 2 * now.LineHeight();
  auto* picture = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
  if (auto* old = reinterpret_cast<HICON>(
          SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0)))
    DestroyIcon(old);
  for (HWND line : lines)
    SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(now.Font()), TRUE);
  for (HWND control : {languageLabel, languageList, languageNote})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(now.Font()), TRUE);
}

int AboutPanel::MinWidth() const {
  const Metrics& m = *metrics;
  int widest = 2 * m.LineHeight() + m.Scale(8) + m.LabelWidth(TextOf(lines[0]));
  for (std::size_t l = 1; l < lines.size(); ++l)
    widest = std::max(widest, m.LabelWidth(TextOf(lines[l])));
  widest =
      std::max({widest, m.LabelWidth(TextOf(languageLabel)), m.LabelWidth(TextOf(languageNote))});
  return widest + 2 * m.Scale(30);
}

int AboutPanel::LayOut(int width, int, bool place) {
  const Metrics& m = *metrics;
  const int margin = m.Scale(30);
  const int line = m.LineHeight();
  const int side = 2 * line;
  if (place) {
    Place(icon, margin, margin, side, side);
    Place(lines[0], margin + side + m.Scale(8), margin + (side - line) / 2,
          width - 2 * margin - side, line);
  }
  int y = margin + side + line;
  for (std::size_t l = 1; l < lines.size(); ++l) {
    if (place) Place(lines[l], margin, y, width - 2 * margin, line);
    y += line + m.Scale(4);
  }
  // The language list under a blank line: its caption, the list as wide as its longest name,
  // and the note that the choice waits for the next start.
  y += line;
  if (place) Place(languageLabel, margin, y, width - 2 * margin, line);
  y += line + m.Scale(3);
  int list = 0;
  const auto count = SendMessageW(languageList, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring name(
        static_cast<std::size_t>(SendMessageW(languageList, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(languageList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    name.resize(wcslen(name.c_str()));
    list = std::max(list, m.TextWidth(name));
  }
  list += GetSystemMetricsForDpi(SM_CXVSCROLL, m.Dpi()) + m.Scale(16);
  const int row = m.ControlHeight();
  if (place) {
    // A drop-down list's height is that of its open list; the closed box is the font's.
    Place(languageList, margin, y, std::min(list, width - 2 * margin),
          row + static_cast<int>(count + 1) * line);
    SendMessageW(languageList, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), row - m.Scale(6));
  }
  y += row + m.Scale(4);
  if (place) Place(languageNote, margin, y, width - 2 * margin, line);
  y += line;
  return y + margin;
}

}  // namespace pexol::win32
