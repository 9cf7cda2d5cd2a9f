// tests/windows/WindowPartsTest.cpp - the Win32 window's settings in the registry, its access
// keys, and its pages laid out at 100 % and 200 % DPI without overlapping controls
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/pages/ConversionPages.h"
#include "app/pages/MediaFolders.h"
#include "app/win32/MainWindow.h"
#include "app/win32/PagePanel.h"
#include "app/win32/Prompts.h"
#include "app/win32/RegistrySettings.h"
#include "pages/ThrowingPage.h"

namespace pexol::win32 {
namespace {

class Registry : public testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str()); }
  const std::wstring root = L"Software\\pexol-parts-test-" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(Registry, ValuesComeBackAsTheyWereWrittenAndOtherKindsAreNotRead) {
  RegistrySettings settings(root);
  EXPECT_FALSE(settings.Text("toText/source"));
  settings.SetText("toText/source", "C:\\ビデオ\\運動会.mpj");
  settings.SetNumber("toText/timecode", 3);
  settings.SetNumber("toText/software", -1);
  settings.SetFlag("toText/csv", true);
  settings.SetList("media/maps", {"C:\\Video=D:\\Moved", "E:\\=F:\\"});
  settings.SetList("media/searchFolders", {});

  RegistrySettings again(root);
  EXPECT_EQ(again.Text("toText/source"), "C:\\ビデオ\\運動会.mpj");
  EXPECT_EQ(again.Number("toText/timecode"), 3);
  EXPECT_EQ(again.Number("toText/software"), -1);
  EXPECT_EQ(again.Flag("toText/csv"), true);
  EXPECT_EQ(again.List("media/maps"),
            (std::vector<std::string>{"C:\\Video=D:\\Moved", "E:\\=F:\\"}));
  // An empty list is a list: the former single search folder does not come back over it.
  settings.SetText("find/searchFolder", "C:\\old");
  EXPECT_TRUE(pages::MediaFolders::Load(again).searchFolders.empty());
  EXPECT_FALSE(again.Number("toText/source"));
  EXPECT_FALSE(again.Text("toText/timecode"));
}

TEST_F(Registry, TheWindowComesBackWhereAndAsLargeAsItWasLeft) {
  Prompts prompts;
  RECT left;
  {
    RegistrySettings settings(root);
    MainWindow window(settings, prompts);
    SetWindowPos(window.Handle(), nullptr, 123, 77, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(window.Handle(), &left);
  }
  RegistrySettings settings(root);
  EXPECT_EQ(settings.Number("window/left"), left.left);
  MainWindow window(settings, prompts);
  RECT now;
  GetWindowRect(window.Handle(), &now);
  EXPECT_EQ(now.left, left.left);
  EXPECT_EQ(now.top, left.top);
  EXPECT_EQ(now.right - now.left, left.right - left.left);
  EXPECT_EQ(now.bottom - now.top, left.bottom - left.top);
}

TEST(AccessKeys, EachControlOfAPageGetsALetterOfItsOwnAndAmpersandsStay) {
  std::wstring used;
  EXPECT_EQ(WithAccessKey(L"convert", used), L"&convert");
  EXPECT_EQ(WithAccessKey(L"Corvane, Brisko", used), L"C&orvane, Brisko");
  EXPECT_EQ(WithAccessKey(L"R&D", used), L"&R&&D");
  EXPECT_EQ(WithAccessKey(L"...", used), L"...");
  EXPECT_EQ(used, L"cor");
}

/// The controls of a page laid out in a panel of the page's least size.
std::vector<RECT> LaidOut(const PagePanel& panel) {
  std::vector<RECT> placed;
  for (HWND child = GetWindow(panel.Handle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32];
    GetClassNameW(child, name, 32);
    // A group box holds its buttons; Cancel takes the run button's place.
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) ||
        (std::wstring(name) == WC_BUTTONW &&
         (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
      continue;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, panel.Handle(), reinterpret_cast<POINT*>(&rect), 2);
    placed.push_back(rect);
  }
  return placed;
}

TEST(PageLayout, NoControlsOverlapAndAllFitAtEitherDpi) {
  RegisterPanelClass();
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  Prompts prompts;
  pages::RunGate gate;
  PanelHost host{prompts, gate, [] { return pages::MediaFolders{}; }, nullptr, nullptr, nullptr};
  for (UINT dpi : {96u, 192u}) {
    const Metrics metrics(dpi);
    for (auto& page : pages::MakeSharedPages()) {
      const std::string title = page->Title();
      PagePanel panel(window, std::move(page), host, metrics);
      const int width = panel.MinWidth();
      const int height = panel.LayOut(width, 0, false);
      SetWindowPos(panel.Handle(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
      panel.LayOut(width, height);
      const std::vector<RECT> placed = LaidOut(panel);
      EXPECT_GT(placed.size(), 8u) << title;
      for (std::size_t a = 0; a < placed.size(); ++a) {
        const RECT& one = placed[a];
        EXPECT_TRUE(one.left >= 0 && one.top >= 0 && one.right <= width && one.bottom <= height)
            << title << " at " << dpi << ": control " << a;
        EXPECT_GT(one.right - one.left, 0) << title << ": control " << a;
        for (std::size_t b = a + 1; b < placed.size(); ++b) {
          RECT both;
          EXPECT_FALSE(IntersectRect(&both, &one, &placed[b]))
              << title << " at " << dpi << ": controls " << a << " and " << b << " overlap";
        }
      }
    }
  }
  DestroyWindow(window);
}

TEST(PageRun, AJobThatThrowsIsAFailedRunWithAMessageAndTheWindowGoesOn) {
  RegisterPanelClass();
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 800, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  Prompts prompts;
  prompts.scripted = true;
  prompts.messagesFile = std::wstring(folder) + L"pexol-parts-messages.txt";
  DeleteFileW(prompts.messagesFile.c_str());
  pages::RunGate gate;
  PanelHost host{prompts, gate, [] { return pages::MediaFolders{}; }, nullptr, nullptr, nullptr};
  const Metrics metrics(96);
  for (const bool standard : {true, false}) {
    PagePanel panel(window, std::make_unique<test::ThrowingPage>(standard), host, metrics);
    SetWindowPos(panel.Handle(), nullptr, 0, 0, 600, 400, SWP_NOZORDER | SWP_SHOWWINDOW);
    panel.LayOut(600, 400);
    ASSERT_TRUE(panel.SetControl(test::ThrowingPage::sourceId, "C:\\projects\\demo.mpj"));
    ASSERT_TRUE(panel.Click(test::ThrowingPage::runId));
    ASSERT_TRUE(panel.Running());
    EXPECT_NE(gate.Running(), nullptr);
    // The window's messages, until the run's end has been shown.
    const DWORD until = GetTickCount() + 20000;
    MSG message;
    while (panel.Running() && GetTickCount() < until) {
      if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
      else
        Sleep(5);
    }
    EXPECT_FALSE(panel.Running());
    EXPECT_EQ(gate.Running(), nullptr);
  }
  std::string shown;
  if (FILE* in = _wfopen(prompts.messagesFile.c_str(), L"rb")) {
    char buffer[4096];
    shown.append(buffer, std::fread(buffer, 1, sizeof buffer, in));
    std::fclose(in);
  }
  DeleteFileW(prompts.messagesFile.c_str());
  EXPECT_EQ(shown,
            "The run failed\n\nC:\\projects\\demo.mpj\nno room left.\n----\n"
            "The run failed\n\nC:\\projects\\demo.mpj\nAn unexpected error ended it.\n----\n");
  DestroyWindow(window);
}

}  // namespace
}  // namespace pexol::win32
