// app/win32/MainWindow.cpp - the tabs, their layout at the window's DPI, settings and the script
#include "app/win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "app/pages/ControlIds.h"
#include "app/win32/Dialogs.h"
#include "core/Translation.h"

namespace pexol::win32 {

namespace {

constexpr wchar_t windowClass[] = L"pexolWindow";
constexpr UINT stepMessage = WM_APP + 10;
constexpr UINT followMessage = WM_APP + 11;
constexpr UINT_PTR followTimer = 1;

/// Writes the window's pixels as a 24-bit BMP.
bool WriteBitmap(HDC screen, const RECT& area, const std::string& path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  FILE* out = _wfopen(Wide(path).c_str(), L"wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&header, sizeof header, 1, out) == 1 &&
                       std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

MainWindow::MainWindow(RegistrySettings& settings, Prompts& prompts)
    : settings(settings), prompts(prompts) {
  static const bool registered = [] {
    RegisterPanelClass();
    RegisterPictureClass();
    return RegisterWindowClass(windowClass, &MainWindow::Procedure, 0,
                               LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
  }();
  (void)registered;
  // Files dropped from Explorer: a project put on the pages as one named on the command line.
  handle = CreateWindowExW(
      WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, windowClass, Wide(pages::WindowTitle()).c_str(),
      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
      CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  metrics = std::make_unique<Metrics>(GetDpiForWindow(handle));
  tabs =
      MakeControl(handle, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | WS_TABSTOP, ids::tabs, *metrics);
  picture = std::make_unique<PictureView>(handle, ids::timeline);
  picture->onShown = [this] {
    // A picture shown gets its room under the pages: the window grows to show it whole, as far
    // as the screen allows.
    RECT frame{0, 0, NaturalWidth(), NaturalHeight()};
    AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT,
                             metrics->Dpi());
    RECT now;
    GetWindowRect(handle, &now);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    GetMonitorInfoW(MonitorFromWindow(handle, MONITOR_DEFAULTTONEAREST), &screen);
    const int wanted = std::min<int>(frame.bottom - frame.top,
                                     screen.rcWork.bottom - std::max(now.top, screen.rcWork.top));
    if (picture->HasPicture() && now.bottom - now.top < wanted && !IsZoomed(handle))
      SetWindowPos(handle, nullptr, 0, 0, now.right - now.left, wanted,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    PostMessageW(handle, stepMessage, 0, 0);  // a screenshot waits for the picture
  };
  picture->onMediaFolders = [this](const std::string& folder) { EditMediaFolders(folder); };

  gate.onBusy = [this](bool on) { RunChanged(on); };
  host = std::make_unique<PanelHost>(PanelHost{
      prompts, gate, [this] { return RunMedia(); },
      [this] { SetTimer(handle, followTimer, 300, nullptr); }, [this] { EditMediaFolders(); },
      [this] { PostMessageW(handle, stepMessage, 0, 0); }});
  for (std::unique_ptr<pages::Page>& page : pages::MakeSharedPages())
    pages.push_back(std::make_unique<PagePanel>(handle, std::move(page), *host, *metrics));
  about = std::make_unique<AboutPanel>(handle, *metrics, settings);
  int index = 0;
  for (const auto& page : pages) {
    const std::wstring title = Wide(page->Model().Title());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    SendMessageW(tabs, TCM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&item));
  }
  const std::wstring aboutTitle = Wide(pages::AboutTitle());
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(aboutTitle.c_str());
  SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));

  // The settings of the last session; from here on each change is written at once.
  for (const auto& page : pages) page->Model().Load(settings, &settings);
  media = pages::MediaFolders::Load(settings);
  for (const auto& page : pages) {
    const int source = page->Model().State().SourceField();
    if (source >= 0 && offer.For({}).empty()) offer.Named(page->Model().State().Text(source));
  }
  // Wide enough at first for a path of some length; the user can widen it further.
  RECT frame{0, 0, std::max(NaturalWidth(), metrics->TextWidth(L"x") * 80), NaturalHeight()};
  AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT, metrics->Dpi());
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  RestorePlace(width, height);
  SelectPage(0);
}

void MainWindow::RestorePlace(int width, int height) {
  if (const auto stored = settings.Number("window/width"); stored && *stored >= width / 2)
    width = *stored;
  if (const auto stored = settings.Number("window/height"); stored && *stored >= height / 2)
    height = *stored;
  const auto left = settings.Number("window/left");
  const auto top = settings.Number("window/top");
  // Where it was, as long as some of its title bar is on a screen now.
  RECT title{left.value_or(0), top.value_or(0), left.value_or(0) + width,
             top.value_or(0) + GetSystemMetricsForDpi(SM_CYCAPTION, metrics->Dpi())};
  const bool placed = left && top && MonitorFromRect(&title, MONITOR_DEFAULTTONULL) != nullptr;
  SetWindowPos(handle, nullptr, placed ? *left : 0, placed ? *top : 0, width, height,
               SWP_NOZORDER | (placed ? 0 : SWP_NOMOVE));
}

void MainWindow::SavePlace() {
  // A maximized or minimized window keeps the place it had before.
  if (pages.empty() || IsIconic(handle) || IsZoomed(handle)) return;
  RECT frame;
  GetWindowRect(handle, &frame);
  settings.SetNumber("window/left", frame.left);
  settings.SetNumber("window/top", frame.top);
  settings.SetNumber("window/width", frame.right - frame.left);
  settings.SetNumber("window/height", frame.bottom - frame.top);
}

MainWindow::~MainWindow() {
  if (pages::PageRun* running = gate.Running()) running->StopAndWait();
  gate.onBusy = nullptr;
  // Every field for the next start, as the Qt window keeps them.
  for (const auto& page : pages) page->Model().State().Save(settings);
  media.Save(settings);
  picture.reset();
  pages.clear();
  if (handle != nullptr) DestroyWindow(handle);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetPropW(window, L"pexolWindow", self);
    self->handle = window;
  }
  auto* self = static_cast<MainWindow*>(GetPropW(window, L"pexolWindow"));
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  return self->Handle(message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      if (w == SIZE_RESTORED) SavePlace();
      return 0;
    case WM_MOVE:
      SavePlace();
      return 0;
    case WM_GETMINMAXINFO: {
      if (!metrics) break;
      RECT frame{0, 0, NaturalWidth(), NaturalHeight()};
      AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT,
                               metrics->Dpi());
      auto* limits = reinterpret_cast<MINMAXINFO*>(l);
      limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      return 0;
    }
    case WM_DPICHANGED: {
      // Another monitor's DPI: the font and every measure follow; the size is the system's.
      metrics = std::make_unique<Metrics>(HIWORD(w));
      SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(metrics->Font()), TRUE);
      for (const auto& page : pages) page->SetMetrics(*metrics);
      about->SetMetrics(*metrics);
      const RECT* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(handle, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(l)->hwndFrom == tabs &&
          reinterpret_cast<NMHDR*>(l)->code == TCN_SELCHANGE)
        SelectPage(static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)));
      return 0;
    case WM_TIMER:
      if (w == followTimer) {
        KillTimer(handle, followTimer);
        FollowPage();
      }
      return 0;
    case followMessage:
      FollowPage();
      return 0;
    case stepMessage:
      NextStep();
      return 0;
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(w);
      // The first file dropped; several at once name one project as the Qt window takes them.
      const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
      if (length > 0) {
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, 0, name.data(), length + 1);
        name.resize(length);
        OpenProject(Utf8(name));
      }
      DragFinish(drop);
      return 0;
    }
    case WM_CLOSE:
      if (MayClose()) DestroyWindow(handle);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(scriptFailed ? 2 : 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(handle, message, w, l);
}

HWND MainWindow::PanelHandle(int index) const {
  if (index < static_cast<int>(pages.size()))
    return pages[static_cast<std::size_t>(index)]->Handle();
  return about->Handle();
}

int MainWindow::NaturalWidth() const {
  int width = std::max(metrics->TextWidth(L"x") * 60, about->MinWidth());
  for (const auto& page : pages) width = std::max(width, page->MinWidth());
  // Every tab's title in one row.
  const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
  RECT last{};
  if (count > 0 && SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                                reinterpret_cast<LPARAM>(&last)))
    width = std::max<int>(width, last.right + metrics->Margin());
  RECT area{0, 0, width, 100};
  SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
  return area.right - area.left + 2 * metrics->Margin();
}

int MainWindow::NaturalHeight() const {
  // The tallest page, the tabs' headers around it, and the picture when shown.
  int tallest = about->LayOut(NaturalWidth(), 0, false);
  for (const auto& page : pages)
    tallest = std::max(tallest, page->LayOut(NaturalWidth(), 0, false));
  RECT area{0, 0, NaturalWidth(), tallest};
  SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
  const int margin = metrics->Margin();
  int height = area.bottom - area.top + 2 * margin;
  if (picture->HasPicture()) height += picture->HeightFor(NaturalWidth()) + margin;
  return height;
}

void MainWindow::LayOut() {
  if (!metrics || pages.empty()) return;
  RECT client;
  GetClientRect(handle, &client);
  const int margin = metrics->Margin();
  const int width = client.right - 2 * margin;
  int tabsHeight = client.bottom - 2 * margin;
  if (picture->HasPicture()) {
    // The pages take what they need; the picture takes its height below them.
    int tallest = about->LayOut(width, 0, false);
    for (const auto& page : pages) tallest = std::max(tallest, page->LayOut(width, 0, false));
    RECT area{0, 0, width, tallest};
    SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
    // The window's least height keeps the picture's room below them.
    tabsHeight = std::min<int>(tabsHeight, area.bottom - area.top);
    const int top = margin + tabsHeight + margin;
    const int room = client.bottom - top - margin;
    Place(picture->Handle(), margin, top, width, std::min(room, picture->HeightFor(width)));
  }
  Place(tabs, margin, margin, width, tabsHeight);
  RECT display{margin, margin, margin + width, margin + tabsHeight};
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int panelWidth = display.right - display.left;
  const int panelHeight = display.bottom - display.top;
  for (std::size_t p = 0; p <= pages.size(); ++p) {
    HWND panel = PanelHandle(static_cast<int>(p));
    SetWindowPos(panel, HWND_TOP, display.left, display.top, panelWidth, panelHeight,
                 SWP_NOACTIVATE);
  }
  for (const auto& page : pages) page->LayOut(panelWidth, panelHeight);
  about->LayOut(panelWidth, panelHeight);
  InvalidateRect(handle, nullptr, TRUE);
}

void MainWindow::SelectPage(int index) {
  current = index;
  SendMessageW(tabs, TCM_SETCURSEL, index, 0);
  for (std::size_t p = 0; p <= pages.size(); ++p)
    ShowWindow(PanelHandle(static_cast<int>(p)), static_cast<int>(p) == index ? SW_SHOW : SW_HIDE);
  OfferProject();
  SetTimer(handle, followTimer, 300, nullptr);
}

void MainWindow::OfferProject() {
  if (current >= static_cast<int>(pages.size())) return;
  PagePanel& page = *pages[static_cast<std::size_t>(current)];
  const int source = page.Model().State().SourceField();
  if (source < 0) return;
  for (const auto& each : pages) {
    const int named = each->Model().State().SourceField();
    if (named >= 0) offer.Named(each->Model().State().Text(named));
  }
  const std::string offered = offer.For(page.Model().State().Text(source));
  if (!offered.empty()) page.Offer(offered);
}

void MainWindow::FollowPage() {
  // The about page keeps the picture of the page before it.
  if (current >= static_cast<int>(pages.size())) return;
  picture->Show(
      pages::PictureToShow(pages[static_cast<std::size_t>(current)]->Model().State(), RunMedia()));
}

pages::MediaFolders MainWindow::RunMedia() const {
  std::vector<const pages::PageState*> states;
  for (const auto& page : pages) states.push_back(&page->Model().State());
  return pages::WindowMedia(media, states);
}

void MainWindow::EditMediaFolders(const std::string& windowsFolder) {
  if (const auto edited =
          win32::EditMediaFolders(handle, media, prompts, *metrics, windowsFolder)) {
    media = *edited;
    media.Save(settings);
    FollowPage();
  }
}

void MainWindow::RunChanged(bool on) {
  for (const auto& page : pages) page->SetBusy(on);
}

bool MainWindow::MayClose() {
  pages::PageRun* running = gate.Running();
  if (running == nullptr) return true;
  if (!prompts.Question(handle, pages::CloseQuestion())) return false;
  running->StopAndWait();
  return true;
}

bool MainWindow::Screenshot(const std::string& path) const {
  RECT frame;
  GetWindowRect(handle, &frame);
  HDC screen = GetDC(nullptr);
  const bool written = WriteBitmap(screen, frame, path);
  ReleaseDC(nullptr, screen);
  return written;
}

void MainWindow::NextStep() {
  if (gate.Running() != nullptr || script.empty()) return;
  const ScriptStep step = std::move(script.front());
  script.pop_front();
  const auto fail = [this](const std::string& what) {
    std::fprintf(stderr, "pexol: %s\n", what.c_str());
    scriptFailed = true;
  };
  switch (step.kind) {
    case ScriptStep::Kind::Page:
      if (step.id < 0 || step.id > static_cast<int>(pages.size()))
        fail(Say("no page {0}", step.id));
      else
        SelectPage(step.id);
      break;
    case ScriptStep::Kind::Set:
      if (current >= static_cast<int>(pages.size()) ||
          !pages[static_cast<std::size_t>(current)]->SetControl(step.id, step.value))
        fail(Say("no control {0} to set", step.id));
      break;
    case ScriptStep::Kind::Click:
      if (current >= static_cast<int>(pages.size()) ||
          !pages[static_cast<std::size_t>(current)]->Click(step.id))
        fail(Say("no button {0}", step.id));
      // A run it started goes on: the next step comes when it has ended.
      if (gate.Running() != nullptr) return;
      break;
    case ScriptStep::Kind::Screenshot:
      // The picture follows the page after a pause; it is drawn before the window is taken.
      FollowPage();
      if (picture->Drawing()) {
        script.push_front(step);
        return;
      }
      RedrawWindow(handle, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
      GdiFlush();
      Sleep(300);
      if (!Screenshot(step.value)) fail(Say("cannot write {0}", step.value));
      break;
    case ScriptStep::Kind::Close:
      PostMessageW(handle, WM_CLOSE, 0, 0);
      return;
  }
  PostMessageW(handle, stepMessage, 0, 0);
}

void MainWindow::OpenProject(const std::string& path) {
  for (const std::unique_ptr<PagePanel>& page : pages)
    for (const int source :
         {ids::toTextSource, ids::toProjectSource, ids::findSource, ids::exportSource})
      page->SetControl(source, path);
}

int MainWindow::Run(std::deque<ScriptStep> steps) {
  script = std::move(steps);
  ShowWindow(handle, SW_SHOWNORMAL);
  UpdateWindow(handle);
  PostMessageW(handle, stepMessage, 0, 0);
  MSG message;
  int status = 0;
  while (true) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      status = static_cast<int>(message.wParam);
      break;
    }
    if (got < 0) return 2;
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in a property sheet.
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
        (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
      const int count = static_cast<int>(pages.size()) + 1;
      const int step = (GetKeyState(VK_SHIFT) & 0x8000) != 0 ? count - 1 : 1;
      SelectPage((current + step) % count);
      continue;
    }
    // The wheel over the timeline turns it, wherever the focus is.
    if (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEHWHEEL) {
      const POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
      const HWND under = WindowFromPoint(at);
      if (under == picture->Handle() || GetParent(under) == picture->Handle())
        message.hwnd = picture->Handle();
    }
    // Tab, the arrow keys in a group of buttons, access keys and Enter on a focused button.
    if (IsDialogMessageW(handle, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  handle = nullptr;
  return status;
}

}  // namespace pexol::win32
