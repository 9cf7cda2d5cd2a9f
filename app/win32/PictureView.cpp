// app/win32/PictureView.cpp - the picture's elements (rect, line, polygon, path, text) in GDI
#include "app/win32/PictureView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/pages/WindowRules.h"
#include "app/win32/Ui.h"
#include "core/RunObserver.h"
#include "picture/RunPicture.h"

namespace pexol::win32 {

namespace {

constexpr wchar_t pictureClass[] = L"pexolPicture";
constexpr UINT drawnMessage = WM_APP + 3;

double Number(std::string_view text) {
  return std::strtod(std::string(text).c_str(), nullptr);
}

/// "#rrggbb"; nullopt for "none" or no colour.
std::optional<COLORREF> Colour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  const unsigned long rgb = std::strtoul(std::string(text.substr(1)).c_str(), nullptr, 16);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

COLORREF Blend(COLORREF colour, COLORREF under, double opacity) {
  const auto mix = [opacity](int a, int b) {
    return static_cast<BYTE>(a * opacity + b * (1 - opacity) + 0.5);
  };
  return RGB(mix(GetRValue(colour), GetRValue(under)), mix(GetGValue(colour), GetGValue(under)),
             mix(GetBValue(colour), GetBValue(under)));
}

/// Draws an element tree at `scale` picture units to a pixel.
class Painter {
 public:
  Painter(HDC dc, double scale) : dc(dc), scale(scale) {}

  void Draw(const SvgElement& element) {
    if (element.name == "rect")
      Rect(element);
    else if (element.name == "line")
      Line(element);
    else if (element.name == "polygon")
      Polygon(element);
    else if (element.name == "path")
      Path(element);
    // Text is drawn from the picture's labels, in the window's font.
    if (element.name == "svg" || element.name == "g")
      for (const SvgElement& child : element.children) Draw(child);
  }

 private:
  int At(double units) const { return static_cast<int>(units * scale + 0.5); }
  int At(const SvgElement& element, std::string_view attribute) const {
    return At(Number(element.Get(attribute)));
  }

  /// Selects the element's pen and brush for the duration of `draw`.
  template <class Draw>
  void With(const SvgElement& element, COLORREF fillUnder, Draw draw) {
    const auto stroke = Colour(element.Get("stroke"));
    const std::string_view widthText = element.Get("stroke-width");
    const double width = widthText.empty() ? 1 : Number(widthText);
    const bool dashed = !element.Get("stroke-dasharray").empty();
    HPEN pen =
        stroke ? CreatePen(dashed ? PS_DOT : PS_SOLID, dashed ? 1 : std::max(1, At(width)), *stroke)
               : static_cast<HPEN>(GetStockObject(NULL_PEN));
    auto fill = Colour(element.Get("fill"));
    if (fill && !element.Get("fill-opacity").empty())
      fill = Blend(*fill, fillUnder, Number(element.Get("fill-opacity")));
    HBRUSH brush = fill ? CreateSolidBrush(*fill) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    draw();
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (stroke) DeleteObject(pen);
    if (fill) DeleteObject(brush);
  }

  void Rect(const SvgElement& element) {
    const int x = At(element, "x");
    const int y = At(element, "y");
    const int right = At(Number(element.Get("x")) + Number(element.Get("width")));
    const int bottom = At(Number(element.Get("y")) + Number(element.Get("height")));
    With(element, RGB(255, 255, 255), [&] { Rectangle(dc, x, y, right + 1, bottom + 1); });
  }

  void Line(const SvgElement& element) {
    With(element, RGB(255, 255, 255), [&] {
      MoveToEx(dc, At(element, "x1"), At(element, "y1"), nullptr);
      LineTo(dc, At(element, "x2"), At(element, "y2"));
    });
  }

  void Polygon(const SvgElement& element) {
    std::vector<POINT> points;
    std::string text(element.Get("points"));
    for (char& c : text)
      if (c == ',') c = ' ';
    const char* at = text.c_str();
    for (char* end = nullptr;; at = end) {
      const double x = std::strtod(at, &end);
      if (end == at) break;
      at = end;
      const double y = std::strtod(at, &end);
      if (end == at) break;
      points.push_back({At(x), At(y)});
    }
    // Transitions lie over the main row's grey.
    With(element, RGB(0xf2, 0xf2, 0xf2),
         [&] { ::Polygon(dc, points.data(), static_cast<int>(points.size())); });
  }

  void Path(const SvgElement& element) {
    const std::string d(element.Get("d"));
    With(element, RGB(255, 255, 255), [&] {
      const char* at = d.c_str();
      while (*at != '\0') {
        const char command = *at++;
        char* end = nullptr;
        const double x = std::strtod(at, &end);
        at = end;
        const double y = std::strtod(at, &end);
        at = end;
        if (command == 'M')
          MoveToEx(dc, At(x), At(y), nullptr);
        else if (command == 'L')
          LineTo(dc, At(x), At(y));
        else
          break;
      }
    });
  }

  HDC dc;
  double scale;
};

/// The picture's text in `font` whatever the scale, each label cut with "…" to its room.
void DrawLabels(HDC dc, HFONT font, double scale, const std::vector<PictureLabel>& labels) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_TOP | TA_LEFT);
  const double centre = (metrics.tmAscent - metrics.tmDescent) / 2.0;
  for (const PictureLabel& label : labels) {
    std::wstring text = Wide(label.text);
    const int x = static_cast<int>(label.x * scale + 0.5);
    const int top = static_cast<int>(label.middle * scale + centre + 0.5) - metrics.tmAscent;
    const int room = static_cast<int>(label.room * scale);
    SIZE whole{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &whole);
    // As in the document: a label cut to less than a character and "…" is left out.
    if (whole.cx > room && room < 3 * metrics.tmAveCharWidth) continue;
    SetTextColor(dc, Colour(label.fill).value_or(RGB(0, 0, 0)));
    RECT box{x, top, x + room, top + metrics.tmHeight};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_TOP | DT_LEFT);
  }
  SelectObject(dc, old);
}

/// The rect elements that carry a box's id, in picture units.
void CollectBoxes(const SvgElement& element, std::vector<std::pair<std::string, RECT>>& into) {
  if (element.name == "rect" && !element.Get("id").empty()) {
    const auto at = [&element](std::string_view name) {
      return static_cast<LONG>(Number(element.Get(name)) * 100);
    };
    into.push_back({std::string(element.Get("id")),
                    {at("x"), at("y"), at("x") + at("width"), at("y") + at("height")}});
  }
  for (const SvgElement& child : element.children) CollectBoxes(child, into);
}

}  // namespace

void RegisterPictureClass() {
  RegisterWindowClass(pictureClass, &PictureView::Procedure, CS_HREDRAW | CS_VREDRAW);
}

PictureView::PictureView(HWND window, int id)
    : drawing([this] { PostMessageW(handle, drawnMessage, 0, 0); },
              [this](std::optional<TimelinePicture> picture) { Finished(std::move(picture)); }) {
  handle = CreateWindowExW(0, pictureClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  SetPropW(handle, L"pexolPicture", this);
  tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                        0, handle, nullptr, GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
  tool.hwnd = handle;
  tool.uId = reinterpret_cast<UINT_PTR>(handle);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 800);
}

PictureView::~PictureView() {
  drawing.Wait();
  RemovePropW(handle, L"pexolPicture");
}

LRESULT CALLBACK PictureView::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* view = static_cast<PictureView*>(GetPropW(window, L"pexolPicture"));
  if (view == nullptr) return DefWindowProcW(window, message, w, l);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      view->Paint(dc, area);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      const int box = view->BoxAt({static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))});
      if (box == view->hovered) return 0;
      view->hovered = box;
      std::wstring line;
      if (box >= 0 && view->drawn)
        for (const PictureBox& each : view->drawn->boxes)
          if (each.id == view->boxRects[static_cast<std::size_t>(box)].first)
            line = Wide(each.line);
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.hwnd = window;
      tool.uId = reinterpret_cast<UINT_PTR>(window);
      tool.lpszText = line.data();
      SendMessageW(view->tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
      SendMessageW(view->tip, TTM_ACTIVATE, !line.empty(), 0);
      return 0;
    }
    case drawnMessage:
      view->drawing.Deliver();
      return 0;
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

void PictureView::Show(const pages::PictureRequest& request) {
  drawing.Show(request);
}

void PictureView::Finished(std::optional<TimelinePicture> picture) {
  drawn = std::move(picture);
  boxRects.clear();
  hovered = -1;
  if (drawn) CollectBoxes(drawn->drawing, boxRects);
  ShowWindow(handle, drawn ? SW_SHOW : SW_HIDE);
  InvalidateRect(handle, nullptr, TRUE);
  if (onShown) onShown();
}

int PictureView::HeightFor(int width) const {
  if (!drawn) return 0;
  const double pictureWidth = std::max(1.0, Number(drawn->drawing.Get("width")));
  return static_cast<int>(Number(drawn->drawing.Get("height")) * width / pictureWidth + 0.5);
}

void PictureView::Paint(HDC dc, const RECT& area) {
  // Drawn off screen first, so that a redraw does not flicker.
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1, width), std::max(1, height));
  HGDIOBJ old = SelectObject(memory, bitmap);
  FillRect(memory, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (drawn) {
    const double scale = width / std::max(1.0, Number(drawn->drawing.Get("width")));
    Painter(memory, scale).Draw(drawn->drawing);
    // The window's font at the window's DPI, made again when the window moves to another.
    const UINT dpi = GetDpiForWindow(handle);
    if (!metrics || metrics->Dpi() != dpi) metrics = std::make_unique<Metrics>(dpi);
    DrawLabels(memory, metrics->Font(), scale, drawn->labels);
  }
  BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

int PictureView::BoxAt(POINT point) const {
  if (!drawn) return -1;
  RECT area;
  GetClientRect(handle, &area);
  const double scale = area.right / std::max(1.0, Number(drawn->drawing.Get("width")));
  const POINT at{static_cast<LONG>(point.x / scale * 100),
                 static_cast<LONG>(point.y / scale * 100)};
  for (std::size_t b = 0; b < boxRects.size(); ++b)
    if (PtInRect(&boxRects[b].second, at)) return static_cast<int>(b);
  return -1;
}

}  // namespace pexol::win32
