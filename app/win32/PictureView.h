// app/win32/PictureView.h - the timeline picture under the pages, drawn with GDI
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "app/pages/PageState.h"
#include "app/pages/PictureDrawing.h"
#include "app/win32/Ui.h"
#include "picture/TimelinePicture.h"

namespace pexol::win32 {

/// Shows a project's timeline fitted to the view's width, drawn with GDI from the elements
/// the picture's SVG is written from; a clip's tooltip is its line. The page layer's
/// `PictureDrawing` draws it off the window's thread.
class PictureView {
 public:
  PictureView(HWND window, int id);
  ~PictureView();
  PictureView(const PictureView&) = delete;
  PictureView& operator=(const PictureView&) = delete;

  HWND Handle() const { return handle; }
  /// Draws the picture of `request` unless it is the one shown; an empty source hides it.
  void Show(const pages::PictureRequest& request);
  bool HasPicture() const { return drawn.has_value(); }
  /// True while a picture is being drawn (or waits to be).
  bool Drawing() const { return drawing.Drawing(); }
  /// The height the picture takes at `width`.
  int HeightFor(int width) const;
  /// Called when a picture was shown or the view hidden.
  std::function<void()> onShown;

 private:
  friend void RegisterPictureClass();
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  void Finished(std::optional<TimelinePicture> picture);
  void Paint(HDC dc, const RECT& area);
  int BoxAt(POINT point) const;

  HWND handle = nullptr;
  HWND tip = nullptr;
  std::optional<TimelinePicture> drawn;
  std::vector<std::pair<std::string, RECT>> boxRects;  ///< in picture units ×100
  int hovered = -1;
  std::unique_ptr<Metrics> metrics;  ///< the window's font, for the picture's text
  pages::PictureDrawing drawing;     ///< last: its thread ends before the rest goes
};

/// Registers the view's window class; once per process.
void RegisterPictureClass();

}  // namespace pexol::win32
