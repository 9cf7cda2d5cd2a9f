// app/win32/Ui.h - the Win32 window's controls, font and measures at the window's DPI
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pexol::win32 {

/// UTF-8 to UTF-16 and back (names may hold any characters, whatever the system's language).
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

/// Registers a window class of this program: the arrow cursor, the dialog face colour behind it.
/// Returns false when Windows refuses it.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0,
                         HICON icon = nullptr);

/// The system's message font and the measures the layouts use, at one DPI.
class Metrics {
 public:
  explicit Metrics(UINT dpi);
  ~Metrics();
  Metrics(const Metrics&) = delete;
  Metrics& operator=(const Metrics&) = delete;

  HFONT Font() const { return font; }
  UINT Dpi() const { return dpi; }
  int Scale(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi), 96); }
  int LineHeight() const { return line; }        ///< a line of text
  int ControlHeight() const { return control; }  ///< an edit or a push button
  int Margin() const { return Scale(10); }
  int Gap() const { return Scale(6); }
  /// The width of `text` in the font.
  int TextWidth(std::wstring_view text) const;
  /// The width of a control's `text` as it is drawn: "&&" one ampersand, "&x" an underline.
  int LabelWidth(std::wstring_view text) const;

 private:
  UINT dpi;
  HFONT font = nullptr;
  int line = 0;
  int control = 0;
};

/// A child control with the font set; `id` is its control id.
HWND MakeControl(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, int id,
                 const Metrics& metrics, DWORD exStyle = 0);
void Place(HWND control, int x, int y, int width, int height);
std::wstring TextOf(HWND control);

/// `text` with an access key ("&") before its first letter that `used` does not hold yet;
/// the letter joins `used`. Texts keep their words: the key shows only as an underline.
std::wstring WithAccessKey(std::wstring_view text, std::wstring& used);

/// `shown` with the access key `WithAccessKey` gives its English text `english`, so that a key
/// is the same in every language: a text still in English has it underlined in place, a
/// translation ends with it in parentheses as Japanese programs show it ("書き出し(&E)").
std::wstring WithEnglishKey(std::wstring_view shown, std::wstring_view english, std::wstring& used);

}  // namespace pexol::win32
