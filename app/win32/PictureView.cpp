// app/win32/PictureView.cpp - the page layer's timeline shapes in GDI, and the input it takes
#include "app/win32/PictureView.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "app/pages/ControlIds.h"
#include "core/Translation.h"

namespace pexol::win32 {

namespace {

constexpr wchar_t pictureClass[] = L"pexolPicture";
constexpr UINT drawnMessage = WM_APP + 3;

COLORREF Colour(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

/// GDI has no translucent fill: the colour laid over the main row's grey.
COLORREF Blend(std::uint32_t rgb, std::uint32_t under, double opacity) {
  const auto mix = [opacity](std::uint32_t a, std::uint32_t b) {
    return static_cast<BYTE>(a * opacity + b * (1 - opacity) + 0.5);
  };
  return RGB(mix((rgb >> 16) & 0xFF, (under >> 16) & 0xFF),
             mix((rgb >> 8) & 0xFF, (under >> 8) & 0xFF), mix(rgb & 0xFF, under & 0xFF));
}

int At(double pixels) {
  return static_cast<int>(std::lround(pixels));
}

/// A GDI object deleted when it goes.
template <class Handle>
class Owned {
 public:
  explicit Owned(Handle handle) : handle(handle) {}
  ~Owned() { DeleteObject(handle); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Handle Get() const { return handle; }

 private:
  Handle handle;
};

/// Paints the shapes on a device context, texts in the window's font, posters decoded through
/// `posters`.
class ShapePainter {
 public:
  ShapePainter(HDC dc, HFONT font, PosterBitmaps& posters) : dc(dc), posters(posters) {
    SelectObject(dc, font);
    GetTextMetricsW(dc, &text);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT);
  }

  void operator()(const pages::ShapeBox& box) {
    RECT area{At(box.x), At(box.y), At(box.x + box.width), At(box.y + box.height)};
    if (area.right <= area.left) area.right = area.left + 1;
    const Owned<HBRUSH> fill(CreateSolidBrush(Colour(box.fill)));
    FillRect(dc, &area, fill.Get());
    if (box.hatch) {
      const Owned<HBRUSH> hatch(CreateHatchBrush(HS_BDIAGONAL, Colour(*box.hatch)));
      FillRect(dc, &area, hatch.Get());
    }
    if (!box.outline) return;
    LOGBRUSH ink{BS_SOLID, Colour(*box.outline), 0};
    const DWORD width = static_cast<DWORD>(std::max(1, At(box.outlineWidth)));
    const Owned<HPEN> pen(ExtCreatePen(
        PS_GEOMETRIC | (box.dashed ? PS_DASH : PS_SOLID) | PS_ENDCAP_FLAT | PS_JOIN_MITER, width,
        &ink, 0, nullptr));
    HGDIOBJ oldPen = SelectObject(dc, pen.Get());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    // The outline inside the box, as wide as it is.
    const int inset = static_cast<int>(width / 2);
    Rectangle(dc, area.left + inset, area.top + inset, area.right - inset + (width % 2),
              area.bottom - inset + (width % 2));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }

  void operator()(const pages::ShapeLine& line) {
    const Owned<HPEN> pen(CreatePen(PS_SOLID, std::max(1, At(line.width)), Colour(line.colour)));
    HGDIOBJ old = SelectObject(dc, pen.Get());
    MoveToEx(dc, At(line.x1), At(line.y1), nullptr);
    LineTo(dc, At(line.x2), At(line.y2));
    SelectObject(dc, old);
  }

  void operator()(const pages::ShapeTriangle& triangle) {
    const Owned<HBRUSH> fill(
        CreateSolidBrush(Blend(triangle.fill, scene_colours::row, triangle.opacity)));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, fill.Get());
    const POINT corners[] = {{At(triangle.x[0]), At(triangle.y[0])},
                             {At(triangle.x[1]), At(triangle.y[1])},
                             {At(triangle.x[2]), At(triangle.y[2])}};
    ::Polygon(dc, corners, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }

  void operator()(const pages::ShapePoster& poster) {
    const int height = At(poster.height);
    if (height <= 0 || poster.width <= 0) return;
    const PosterBitmap& image = posters.Of(poster.png, height);
    if (!image.bitmap) return;
    // Its shape kept at the room's height; a narrower room shows its middle.
    const int shown = std::min(image.width, At(poster.width));
    if (shown <= 0) return;
    if (!source) source.reset(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), image.bitmap.get());
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, At(poster.x), At(poster.y), At(poster.x + poster.width),
                      At(poster.y + poster.height));
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, At(poster.x), At(poster.y), shown, image.height, source.get(),
                  (image.width - shown) / 2, 0, shown, image.height, blend);
    RestoreDC(dc, saved);
    SelectObject(source.get(), old);
  }

  void operator()(const pages::ShapeText& shape) {
    std::wstring wide = Wide(shape.text);
    const int x = At(shape.x);
    const int top = At(shape.middle + (text.tmAscent - text.tmDescent) / 2.0) - text.tmAscent;
    const int room = static_cast<int>(shape.room);
    SIZE whole{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &whole);
    // A text cut to less than a character and "…" says nothing: left out.
    if (whole.cx > room && room < 3 * text.tmAveCharWidth) return;
    SetTextColor(dc, Colour(shape.colour));
    RECT box{x, top, x + room, top + text.tmHeight};
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &box,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_TOP | DT_LEFT);
  }

 private:
  struct DcDeleter {
    void operator()(HDC made) const { DeleteDC(made); }
  };

  HDC dc;
  PosterBitmaps& posters;
  std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> source;  ///< the posters are put in
  TEXTMETRICW text{};
};

std::optional<pages::TimelineKey> KeyOf(WPARAM key) {
  switch (key) {
    case VK_OEM_PLUS:
    case VK_ADD:
      return pages::TimelineKey::ZoomIn;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
      return pages::TimelineKey::ZoomOut;
    case '0':
    case VK_NUMPAD0:
      return pages::TimelineKey::Fit;
    case '1':
    case VK_NUMPAD1:
      return pages::TimelineKey::OneToOne;
    case VK_LEFT:
      return pages::TimelineKey::Left;
    case VK_RIGHT:
      return pages::TimelineKey::Right;
    case VK_PRIOR:
      return pages::TimelineKey::PageLeft;
    case VK_NEXT:
      return pages::TimelineKey::PageRight;
    case VK_HOME:
      return pages::TimelineKey::Start;
    case VK_END:
      return pages::TimelineKey::End;
    default:
      return std::nullopt;
  }
}

struct Button {
  int id;
  std::string_view text;  ///< translated unless it is a sign
  bool translated;
  std::string_view tip;
  pages::TimelineKey key;
};
constexpr Button buttons[] = {
    {ids::timelineFit, ToTranslate("fit"), true, ToTranslate("Show the whole timeline (0)"),
     pages::TimelineKey::Fit},
    {ids::timelineOneToOne, "1:1", false, ToTranslate("A pixel a frame (1)"),
     pages::TimelineKey::OneToOne},
    {ids::timelineZoomOut, "\xE2\x88\x92", false, ToTranslate("Zoom out (-, Ctrl and the wheel)"),
     pages::TimelineKey::ZoomOut},
    {ids::timelineZoomIn, "+", false, ToTranslate("Zoom in (+, Ctrl and the wheel)"),
     pages::TimelineKey::ZoomIn}};

void AddTool(HWND tip, HWND owner, UINT_PTR id, const std::wstring& text) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
  tool.hwnd = owner;
  tool.uId = id;
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void RegisterPictureClass() {
  RegisterWindowClass(pictureClass, &PictureView::Procedure, CS_DBLCLKS);
}

PictureView::PictureView(HWND window, int id)
    : state([this] { PostMessageW(handle, drawnMessage, 0, 0); }, [this] { Changed(); }) {
  handle = CreateWindowExW(WS_EX_CONTROLPARENT, pictureClass, L"",
                           WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 0, 0,
                           window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  SetPropW(handle, L"pexolPicture", this);
  metrics = std::make_unique<Metrics>(GetDpiForWindow(handle));
  tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                        0, handle, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 800);
  AddTool(tip, handle, reinterpret_cast<UINT_PTR>(handle), L"");
  for (const Button& each : buttons) {
    const std::wstring text = Wide(each.translated ? Tr(each.text) : each.text);
    HWND button =
        MakeControl(handle, L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, each.id, *metrics);
    AddTool(tip, handle, reinterpret_cast<UINT_PTR>(button), Wide(Tr(each.tip)));
  }
  bar = MakeControl(handle, L"SCROLLBAR", L"", SBS_HORZ, ids::timelineCanvas + 1, *metrics);
}

PictureView::~PictureView() {
  state.Wait();
  RemovePropW(handle, L"pexolPicture");
}

LRESULT CALLBACK PictureView::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* view = static_cast<PictureView*>(GetPropW(window, L"pexolPicture"));
  if (view == nullptr) return DefWindowProcW(window, message, w, l);
  return view->Handle(message, w, l);
}

LRESULT PictureView::Handle(UINT message, WPARAM w, LPARAM l) {
  const double canvasTop = ButtonsHeight();
  const auto canvasPoint = [&](POINT at) {
    return std::pair<double, double>(at.x, at.y - canvasTop);
  };
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(handle, &paint);
      Paint(dc);
      EndPaint(handle, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:  // a screenshot, or a test, asks for the picture in its own context
      Paint(reinterpret_cast<HDC>(w));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (const auto key = KeyOf(w)) {
        if (state.Press(*key)) Moved();
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(handle, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      const auto [x, y] = canvasPoint({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (!tracking) {
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, handle, 0};
        tracking = TrackMouseEvent(&leave) != FALSE;
      }
      if (state.PointerAt(x, y)) {
        InvalidateRect(handle, nullptr, FALSE);
        Tip();
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking = false;
      if (state.PointerLeft()) {
        InvalidateRect(handle, nullptr, FALSE);
        Tip();
      }
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(w) == handle && LOWORD(l) == HTCLIENT) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(handle, &at);
        const auto [x, y] = canvasPoint(at);
        // A missing clip is a link to the media folders.
        const bool link = state.FolderToFind(x, y).has_value();
        SetCursor(LoadCursorW(nullptr, link ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN: {
      SetFocus(handle);
      const auto [x, y] = canvasPoint({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (const auto folder = state.FolderToFind(x, y); folder && onMediaFolders)
        onMediaFolders(*folder);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      // The whole timeline, or 1:1 around the pointer.
      if (state.Press(state.Zoom().Fitted() ? pages::TimelineKey::OneToOne
                                            : pages::TimelineKey::Fit))
        Moved();
      return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
      POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(handle, &at);
      const double notches = GET_WHEEL_DELTA_WPARAM(w) / double{WHEEL_DELTA};
      const bool zoom = (GET_KEYSTATE_WPARAM(w) & MK_CONTROL) != 0;
      const bool across = message == WM_MOUSEHWHEEL || (GET_KEYSTATE_WPARAM(w) & MK_SHIFT) != 0;
      const double right = message == WM_MOUSEHWHEEL ? notches : across ? -notches : 0;
      if (state.Wheel(right, across ? 0 : notches, zoom, at.x)) Moved();
      return 0;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(l) == bar) Scrolled(LOWORD(w));
      return 0;
    case WM_COMMAND:
      for (const Button& each : buttons)
        if (LOWORD(w) == each.id && HIWORD(w) == BN_CLICKED) {
          if (state.Press(each.key)) Moved();
          return 0;
        }
      break;
    case drawnMessage:
      state.Deliver();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(handle, message, w, l);
}

void PictureView::Show(const pages::PictureRequest& request) {
  state.Show(request);
}

void PictureView::Changed() {
  // The scene or its posters changed: the bytes decoded may be gone.
  posters.Clear();
  ShowWindow(handle, HasPicture() ? SW_SHOW : SW_HIDE);
  LayOut();
  Tip();
  if (onShown) onShown();
}

int PictureView::ButtonsHeight() const {
  return metrics->ControlHeight() + metrics->Scale(4);
}

int PictureView::BarHeight() const {
  return GetSystemMetricsForDpi(SM_CYHSCROLL, metrics->Dpi());
}

int PictureView::HeightFor(int) const {
  if (!HasPicture()) return 0;
  return ButtonsHeight() + static_cast<int>(std::ceil(state.Height())) + BarHeight();
}

void PictureView::LayOut() {
  // The window's font at the window's DPI, made again when the window moves to another.
  const UINT dpi = GetDpiForWindow(handle);
  if (metrics->Dpi() != dpi) {
    metrics = std::make_unique<Metrics>(dpi);
    for (const Button& each : buttons)
      SendMessageW(GetDlgItem(handle, each.id), WM_SETFONT,
                   reinterpret_cast<WPARAM>(metrics->Font()), TRUE);
  }
  RECT client;
  GetClientRect(handle, &client);
  int x = 0;
  for (const Button& each : buttons) {
    HWND button = GetDlgItem(handle, each.id);
    const int width = std::max(metrics->ControlHeight() + metrics->Scale(4),
                               metrics->LabelWidth(TextOf(button)) + metrics->Scale(20));
    Place(button, x, 0, width, metrics->ControlHeight());
    x += width + metrics->Scale(2);
  }
  double labelWidth = metrics->Scale(60);
  if (const TimelineScene* scene = state.Scene())
    for (const std::string& name : pages::RowNames(*scene))
      labelWidth =
          std::max<double>(labelWidth, metrics->TextWidth(Wide(name)) + metrics->Scale(16));
  state.SetView(client.right, metrics->Dpi() / 96.0, labelWidth);
  const int barTop = ButtonsHeight() + static_cast<int>(std::ceil(state.Height()));
  Place(bar, 0, std::min<int>(barTop, client.bottom - BarHeight()), client.right, BarHeight());
  Moved();
}

void PictureView::Moved() {
  const pages::TimelineZoom::Bar now = state.Zoom().ScrollBar();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  info.nMax = now.maximum + now.page - 1;
  info.nPage = static_cast<UINT>(now.page);
  info.nPos = now.value;
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
  EnableWindow(bar, now.maximum > 0);
  InvalidateRect(handle, nullptr, FALSE);
}

void PictureView::Scrolled(int code) {
  std::optional<pages::TimelineKey> key;
  switch (code) {
    case SB_LINELEFT:
      key = pages::TimelineKey::Left;
      break;
    case SB_LINERIGHT:
      key = pages::TimelineKey::Right;
      break;
    case SB_PAGELEFT:
      key = pages::TimelineKey::PageLeft;
      break;
    case SB_PAGERIGHT:
      key = pages::TimelineKey::PageRight;
      break;
    case SB_LEFT:
      key = pages::TimelineKey::Start;
      break;
    case SB_RIGHT:
      key = pages::TimelineKey::End;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(bar, SB_CTL, &info);
      if (state.ScrollBarMoved(info.nTrackPos)) Moved();
      return;
    }
    default:
      return;
  }
  if (state.Press(*key)) Moved();
}

void PictureView::Tip() {
  const std::wstring now = Wide(state.HoverText());
  if (now == tipText) return;
  tipText = now;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = handle;
  tool.uId = reinterpret_cast<UINT_PTR>(handle);
  tool.lpszText = tipText.data();
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_ACTIVATE, !tipText.empty(), 0);
}

void PictureView::Paint(HDC dc) {
  // Drawn off screen first, so that a redraw does not flicker.
  RECT client;
  GetClientRect(handle, &client);
  const int width = std::max(1L, client.right);
  const int height = std::max(1L, client.bottom);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
  const int top = ButtonsHeight();
  SetViewportOrgEx(memory, 0, top, nullptr);
  HGDIOBJ oldFont = SelectObject(memory, metrics->Font());
  ShapePainter painter(memory, metrics->Font(), posters);
  for (const pages::TimelineShape& shape : state.Shapes()) std::visit(painter, shape);
  SelectObject(memory, oldFont);
  SetViewportOrgEx(memory, 0, 0, nullptr);
  if (GetFocus() == handle) {
    RECT canvas{0, top, width, top + static_cast<int>(std::ceil(state.Height()))};
    DrawFocusRect(memory, &canvas);
  }
  BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

}  // namespace pexol::win32
