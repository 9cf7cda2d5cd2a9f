// app/win32/PosterBitmaps.cpp - PNG to a premultiplied DIB section at the rows' height, by WIC
#include "app/win32/PosterBitmaps.h"

#include <algorithm>
#include <cmath>

namespace pexol::win32 {

namespace {

using Microsoft::WRL::ComPtr;

// A poster is at most a few hundred pixels: a stranger PNG in the cache is left out rather
// than decoded at any size.
constexpr UINT largestSide = 4096;
constexpr UINT widestShape = 8;

}  // namespace

PosterBitmaps::PosterBitmaps() {
  // The window's thread has COM already; a thread without it (a test's) gets it for as long as
  // this object lives.
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comStarted = SUCCEEDED(started);
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory))))
    factory.Reset();
}

PosterBitmaps::~PosterBitmaps() {
  Clear();
  factory.Reset();
  if (comStarted) CoUninitialize();
}

const PosterBitmap& PosterBitmaps::Of(std::string_view png, int height) {
  const auto at = bitmaps.find(png.data());
  if (at != bitmaps.end() && at->second.height == height) return at->second;
  if (at != bitmaps.end()) {
    // Another DPI: scaled again from the bytes.
    at->second = Decode(png, height);
    return at->second;
  }
  return bitmaps.emplace(png.data(), Decode(png, height)).first->second;
}

PosterBitmap PosterBitmaps::Decode(std::string_view png, int height) const {
  PosterBitmap made;
  made.height = height;
  if (!factory || png.empty() || png.size() > MAXDWORD || height <= 0) return made;
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(png.data())),
                                          static_cast<DWORD>(png.size()))))
    return made;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)))
    return made;
  UINT sourceWidth = 0, sourceHeight = 0;
  if (FAILED(frame->GetSize(&sourceWidth, &sourceHeight)) || sourceWidth == 0 ||
      sourceHeight == 0 || sourceWidth > largestSide || sourceHeight > largestSide ||
      sourceWidth > widestShape * sourceHeight)
    return made;
  const int width = std::max(
      1, static_cast<int>(std::lround(double(sourceWidth) * height / double(sourceHeight))));
  // Premultiplied before scaling, so that a transparent edge does not bleed its colour in.
  ComPtr<IWICFormatConverter> converter;
  ComPtr<IWICBitmapScaler> scaler;
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(factory->CreateBitmapScaler(&scaler)) ||
      FAILED(scaler->Initialize(converter.Get(), static_cast<UINT>(width),
                                static_cast<UINT>(height), WICBitmapInterpolationModeFant)))
    return made;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as WIC's rows come
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  decltype(made.bitmap) bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return made;
  const UINT stride = static_cast<UINT>(width) * 4;
  if (FAILED(scaler->CopyPixels(nullptr, stride, stride * static_cast<UINT>(height),
                                static_cast<BYTE*>(bits))))
    return made;
  made.bitmap = std::move(bitmap);
  made.width = width;
  return made;
}

}  // namespace pexol::win32
