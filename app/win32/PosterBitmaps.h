// app/win32/PosterBitmaps.h - the timeline's poster frames decoded for GDI, once each
#pragma once

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <map>
#include <memory>
#include <string_view>
#include <type_traits>

namespace pexol::win32 {

/// A poster decoded and scaled to the height it is drawn at: premultiplied BGRA for AlphaBlend.
struct PosterBitmap {
  struct Deleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
  };
  std::unique_ptr<std::remove_pointer_t<HBITMAP>, Deleter> bitmap;
  int width = 0;
  int height = 0;
};

/// The posters' PNGs decoded by the Windows Imaging Component and scaled smoothly to the rows'
/// height, kept by where their bytes are for as long as the timeline's posters stay the same
/// (`Clear` when they change), so that a redraw only copies pixels.
class PosterBitmaps {
 public:
  PosterBitmaps();
  ~PosterBitmaps();
  PosterBitmaps(const PosterBitmaps&) = delete;
  PosterBitmaps& operator=(const PosterBitmaps&) = delete;

  /// `png` at `height` pixels high, its shape kept; no bitmap when it cannot be read.
  const PosterBitmap& Of(std::string_view png, int height);
  void Clear() { bitmaps.clear(); }

 private:
  PosterBitmap Decode(std::string_view png, int height) const;

  bool comStarted = false;  ///< this object's CoInitializeEx, undone when it goes
  Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
  std::map<const char*, PosterBitmap> bitmaps;
};

}  // namespace pexol::win32
