// app/win32/PictureView.h - the timeline under the pages: zoom, scroll and hover, painted with GDI
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/pages/PageState.h"
#include "app/pages/TimelineState.h"
#include "app/win32/PosterBitmaps.h"
#include "app/win32/Ui.h"

namespace pexol::win32 {

/// Shows a project's timeline under the pages, as the Qt window does: the zoom buttons over
/// the canvas, a scroll bar under it. Ctrl and the wheel, + and -, 0 and 1 zoom; the wheel, the
/// arrows and the bar scroll; the clip under the pointer says what it is; a click on a clip
/// whose medium is not found asks for the media folders; a found clip shows its poster frame where
/// the cache holds one. The page layer's `TimelineState` does
/// all of that; this view paints it with GDI and hands it the input.
class PictureView {
 public:
  PictureView(HWND window, int id);
  ~PictureView();
  PictureView(const PictureView&) = delete;
  PictureView& operator=(const PictureView&) = delete;

  HWND Handle() const { return handle; }
  /// Makes the timeline of `request` unless it is the one shown; an empty source hides it.
  void Show(const pages::PictureRequest& request);
  bool HasPicture() const { return state.Scene() != nullptr; }
  /// True while a timeline is being made.
  bool Drawing() const { return state.Drawing(); }
  /// The height the view takes at `width`: its buttons, the ruler and rows, and the bar.
  int HeightFor(int width) const;
  pages::TimelineState& State() { return state; }
  /// The text the tooltip shows now; empty over no clip.
  const std::wstring& TipText() const { return tipText; }
  /// Called when a timeline was shown or the view hidden.
  std::function<void()> onShown;
  /// Called with a missing clip's Windows folder when it is clicked.
  std::function<void(const std::string& windowsFolder)> onMediaFolders;

 private:
  friend void RegisterPictureClass();
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void Changed();
  /// The fonts and measures at the window's DPI, the buttons and the bar placed, the view's
  /// size handed to the state.
  void LayOut();
  /// Paints again after the zoom or scroll changed, and moves the bar.
  void Moved();
  void Paint(HDC dc);
  void Scrolled(int code);
  void Tip();
  int ButtonsHeight() const;
  int BarHeight() const;

  HWND handle = nullptr;
  HWND tip = nullptr;
  HWND bar = nullptr;
  std::wstring tipText;
  bool tracking = false;  ///< the pointer's leaving is asked for
  std::unique_ptr<Metrics> metrics;
  PosterBitmaps posters;       ///< the state's posters decoded, until they change
  pages::TimelineState state;  ///< last: its threads end before the rest goes
};

/// Registers the view's window class; once per process.
void RegisterPictureClass();

}  // namespace pexol::win32
