// app/win32/Ui.cpp - control makers, the message font at a DPI, access keys
#include "app/win32/Ui.h"

#include <cwctype>

#include "core/PlatformPath.h"

namespace pexol::win32 {

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HICON icon) {
  WNDCLASSEXW kind{};
  kind.cbSize = sizeof kind;
  kind.style = style;
  kind.lpfnWndProc = procedure;
  kind.hInstance = GetModuleHandleW(nullptr);
  kind.hIcon = icon;
  kind.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  kind.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  kind.lpszClassName = name;
  return RegisterClassExW(&kind) != 0;
}

std::wstring Wide(std::string_view utf8) {
  return platform::WideOf(utf8);
}

std::string Utf8(std::wstring_view wide) {
  return platform::Utf8OfWide(wide);
}

Metrics::Metrics(UINT dpi) : dpi(dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  }
  font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW text{};
  GetTextMetricsW(screen, &text);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  line = text.tmHeight;
  control = line + Scale(9);
}

Metrics::~Metrics() {
  if (font != nullptr) DeleteObject(font);
}

int Metrics::TextWidth(std::wstring_view text) const {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

int Metrics::LabelWidth(std::wstring_view text) const {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  RECT area{0, 0, 0, 0};
  DrawTextW(screen, text.data(), static_cast<int>(text.size()), &area,
            DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return area.right - area.left;
}

HWND MakeControl(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, int id,
                 const Metrics& metrics, DWORD exStyle) {
  const std::wstring title(text);
  HWND control = CreateWindowExW(
      exStyle, className, title.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(metrics.Font()), FALSE);
  return control;
}

void Place(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {

/// `text` with each "&" doubled: shown as itself, no access key.
std::wstring Escaped(std::wstring_view text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'&') escaped += L'&';
    escaped += c;
  }
  return escaped;
}

}  // namespace

std::wstring WithAccessKey(std::wstring_view text, std::wstring& used) {
  const std::wstring escaped = Escaped(text);
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    const wchar_t c = escaped[i];
    if (c > 0x7F || !std::iswalnum(c)) continue;
    const wchar_t key = static_cast<wchar_t>(std::towlower(c));
    if (used.find(key) != std::wstring::npos) continue;
    used += key;
    return escaped.substr(0, i) + L'&' + escaped.substr(i);
  }
  return escaped;
}

std::wstring WithEnglishKey(std::wstring_view shown, std::wstring_view english,
                            std::wstring& used) {
  const std::size_t before = used.size();
  const std::wstring keyed = WithAccessKey(english, used);
  if (shown == english) return keyed;
  if (used.size() == before) return Escaped(shown);
  const wchar_t key = static_cast<wchar_t>(std::towupper(used.back()));
  return Escaped(shown) + L"(&" + key + L')';
}

}  // namespace pexol::win32
