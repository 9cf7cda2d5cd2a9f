// tests/windows/WindowPartsTest.cpp - the Win32 window's settings in the registry, its access
// keys, its pages laid out at 100 % and 200 % DPI without overlapping controls or cut texts, in
// English, in Japanese and in the pseudo-language, its dialogs, and its timeline with its poster
// frames
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cmath>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/pages/ControlIds.h"
#include "app/pages/ConversionPages.h"
#include "app/pages/Language.h"
#include "app/pages/MediaFolders.h"
#include "app/win32/Dialogs.h"
#include "app/win32/MainWindow.h"
#include "app/win32/PagePanel.h"
#include "app/win32/PictureView.h"
#include "app/win32/Prompts.h"
#include "app/win32/RegistrySettings.h"
#include "core/Translation.h"
#include "pages/SameInEveryLanguage.h"
#include "pages/ThrowingPage.h"
#include "picture/ScenePosters.h"
#include "probe/PosterCache.h"
#include "support/PseudoLanguage.h"
#include "tools/builder/ProjectBuilder.h"

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

TEST(AccessKeys, ATranslationKeepsTheEnglishLetterAtItsEnd) {
  std::wstring used = L"c";
  EXPECT_EQ(WithEnglishKey(L"書き出し", L"export", used), L"書き出し(&E)");
  // The letter the English text would take next, not one the translation happens to hold.
  EXPECT_EQ(WithEnglishKey(L"元の mpj ファイル", L"mpj source file", used),
            L"元の mpj ファイル(&M)");
  EXPECT_EQ(WithEnglishKey(L"convert", L"convert", used), L"c&onvert");
  EXPECT_EQ(WithEnglishKey(L"R&D 用", L"...", used), L"R&&D 用");
  EXPECT_EQ(used, L"cemo");
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

/// The room a control of class `name` and `style` leaves its text.
int TextRoom(HWND control, const Metrics& metrics) {
  wchar_t name[32];
  GetClassNameW(control, name, 32);
  RECT rect;
  GetClientRect(control, &rect);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (std::wstring(name) == WC_STATICW) return rect.right;
  if (std::wstring(name) != WC_BUTTONW) return -1;  // edits and bars hold no fixed text
  switch (style & BS_TYPEMASK) {
    case BS_AUTORADIOBUTTON:
    case BS_AUTOCHECKBOX:
      return rect.right - GetSystemMetricsForDpi(SM_CXMENUCHECK, metrics.Dpi()) - metrics.Scale(4);
    case BS_GROUPBOX:
      return rect.right - metrics.Scale(16);
    default:
      return rect.right - metrics.Scale(8);
  }
}

/// Every page in a panel of its least size at 100 % and 200 %: no two controls overlap, each is
/// inside the panel and shows its whole text.
void ExpectPagesLaidOut() {
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
      for (HWND child = GetWindow(panel.Handle(), GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = TextOf(child);
        const int room = TextRoom(child, metrics);
        if (text.empty() || room < 0) continue;
        EXPECT_LE(metrics.LabelWidth(text), room)
            << title << " at " << dpi << ": \"" << Utf8(text) << "\" is cut";
      }
    }
  }
  DestroyWindow(window);
}

TEST(PageLayout, NoControlsOverlapAndAllFitAtEitherDpi) {
  ExpectPagesLaidOut();
}

/// The window as a Japanese user starts it: the access keys' English texts kept, then the
/// catalogue the build made (locale\ja) chosen; English again after the test.
/// The build tree, whose locale\ holds the catalogues msgfmt made.
std::filesystem::path BuildFolder() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / PEXOL_BUILD_FROM_TESTS).lexically_normal();
}

class Japanese : public testing::Test {
 protected:
  void SetUp() override {
    KeepEnglishLabels();
    catalogue = FindCatalogue("ja", BuildFolder());
    ASSERT_TRUE(catalogue) << "no locale/ja/LC_MESSAGES/pexol.mo in the build";
    UseCatalogue(catalogue);
  }
  void TearDown() override { UseCatalogue(std::nullopt); }

  std::optional<Catalogue> catalogue;
};

TEST_F(Japanese, PagesFitAndDoNotOverlapAtEitherDpi) {
  ExpectPagesLaidOut();
}

/// Every text of every page's controls as a window shows it, by control id.
std::map<int, std::wstring> ShownTexts() {
  RegisterPanelClass();
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  Prompts prompts;
  pages::RunGate gate;
  PanelHost host{prompts, gate, [] { return pages::MediaFolders{}; }, nullptr, nullptr, nullptr};
  const Metrics metrics(96);
  std::map<int, std::wstring> shown;
  for (auto& page : pages::MakeSharedPages()) {
    PagePanel panel(window, std::move(page), host, metrics);
    for (HWND child = GetWindow(panel.Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
      shown[GetDlgCtrlID(child)] = TextOf(child);
  }
  DestroyWindow(window);
  return shown;
}

/// The control `id` anywhere under `window`.
HWND Descendant(HWND window, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM l) {
        auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(l);
        if (GetDlgCtrlID(child) != wanted->first) return TRUE;
        wanted->second = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

/// A control's text without its access key ("&&" is one "&"); `key` gets the key's letter.
std::wstring Plain(std::wstring_view text, wchar_t& key) {
  std::wstring plain;
  key = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size() && text[i + 1] != L'&') {
      key = static_cast<wchar_t>(std::towupper(text[i + 1]));
      continue;
    }
    if (text[i] == L'&') ++i;
    plain += text[i];
  }
  return plain;
}

TEST_F(Japanese, EveryTextIsTheCataloguesAndEveryAccessKeyTheEnglishWindows) {
  UseCatalogue(std::nullopt);
  const std::map<int, std::wstring> english = ShownTexts();
  UseCatalogue(catalogue);
  const std::map<int, std::wstring> japanese = ShownTexts();
  int translated = 0;
  for (const auto& [id, keyed] : english) {
    wchar_t key = 0;
    const std::string text = Utf8(Plain(keyed, key));
    const std::string wanted(catalogue->Find(text));
    // Names and formats ("Corvane", "CMX 3600") have no translation and stay as they are.
    if (wanted == text) continue;
    ++translated;
    std::wstring expected;
    for (wchar_t c : Wide(wanted)) expected += c == L'&' ? L"&&" : std::wstring(1, c);
    if (key != 0) expected += std::wstring(L"(&") + key + L')';
    EXPECT_EQ(Utf8(japanese.at(id)), Utf8(expected))
        << "control " << id << ", in English " << Utf8(keyed);
  }
  EXPECT_GT(translated, 20);
}

TEST_F(Japanese, TheWindowsOwnTextsAreTheCatalogues) {
  const std::wstring root =
      L"Software\\pexol-parts-test-ja-" + std::to_wstring(GetCurrentProcessId());
  {
    RegistrySettings settings(root);
    Prompts prompts;
    MainWindow window(settings, prompts);
    HWND tabs = GetDlgItem(window.Handle(), ids::tabs);
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    ASSERT_GT(count, 1);
    wchar_t title[64]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(count - 1),
                 reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(Utf8(title), catalogue->Find("about"));
    EXPECT_NE(Utf8(title), "about");
    // The about page's language list: the system's entry in Japanese, each language in itself;
    // a choice is kept for the next start.
    HWND list = Descendant(window.Handle(), ids::aboutLanguage);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Utf8(TextOf(Descendant(window.Handle(), ids::aboutLanguageLabel))),
              std::string(catalogue->Find("language")) + "(&L)");
    EXPECT_EQ(Utf8(TextOf(Descendant(window.Handle(), ids::aboutLanguageNote))),
              catalogue->Find("A new choice takes effect when pexol starts again."));
    std::vector<std::string> names;
    for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
      wchar_t name[64]{};
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
      names.push_back(Utf8(name));
    }
    EXPECT_EQ(names, (std::vector<std::string>{std::string(catalogue->Find("System language")),
                                               "English", "日本語"}));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(ids::aboutLanguage, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(settings.Text(std::string(pages::languageKey)), "ja");
    EXPECT_EQ(pages::WindowLanguage(settings, ""), "ja");
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
}

/// Every text a person reads in `root` and the windows in it: captions (access keys taken out),
/// edits' placeholders, the items of combo boxes and lists, tabs.
void CollectShownTexts(HWND root, std::vector<std::string>& shown) {
  const auto keep = [&shown](std::wstring_view text) {
    wchar_t key = 0;
    if (!text.empty()) shown.push_back(Utf8(Plain(text, key)));
  };
  std::vector<HWND> windows = {root};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM l) {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    const auto is = [&name](const wchar_t* kind) { return _wcsicmp(name, kind) == 0; };
    keep(TextOf(window));
    wchar_t item[1024]{};
    if (is(WC_EDITW) && SendMessageW(window, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(item), 1024))
      keep(item);
    if (is(WC_COMBOBOXW))
      for (LRESULT i = 0; i < SendMessageW(window, CB_GETCOUNT, 0, 0); ++i)
        if (SendMessageW(window, CB_GETLBTEXTLEN, i, 0) < 1024 &&
            SendMessageW(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item)) > 0)
          keep(item);
    if (is(WC_LISTBOXW))
      for (LRESULT i = 0; i < SendMessageW(window, LB_GETCOUNT, 0, 0); ++i)
        if (SendMessageW(window, LB_GETTEXTLEN, i, 0) < 1024 &&
            SendMessageW(window, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item)) > 0)
          keep(item);
    if (is(WC_TABCONTROLW))
      for (LRESULT i = 0; i < SendMessageW(window, TCM_GETITEMCOUNT, 0, 0); ++i) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = item;
        tab.cchTextMax = 1024;
        if (SendMessageW(window, TCM_GETITEMW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&tab)))
          keep(item);
      }
  }
}

/// The texts of the thread's tooltips and, each time the timer finds one open, of its modal
/// window, which it then closes.
std::vector<std::string> threadTexts;
void CollectThreadsWindows(bool modal) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM l) {
        wchar_t name[64]{};
        GetClassNameW(window, name, 64);
        if (l != 0 && _wcsicmp(name, L"pexolModal") == 0 && IsWindowVisible(window)) {
          CollectShownTexts(window, threadTexts);
          PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (l == 0 && _wcsicmp(name, TOOLTIPS_CLASSW) == 0)
          for (LRESULT i = 0; i < SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            wchar_t text[1024]{};
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            if (SendMessageW(window, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&tool)) &&
                text[0] != 0)
              threadTexts.push_back(Utf8(text));
          }
        return TRUE;
      },
      modal ? 1 : 0);
}

// Under the pseudo-language (en@pseudo), whose catalogue brackets every text, every text of
// every page, the about page, the timeline's buttons and their tips, both dialogs and the file
// dialogs' filters: what is outside the brackets is a name, a format or a sign.
TEST(PseudoLanguage, EveryTextOfTheWindowAndItsDialogsIsTheCatalogues) {
  KeepEnglishLabels();
  auto pseudo = FindCatalogue("en@pseudo", BuildFolder());
  ASSERT_TRUE(pseudo) << "no locale/en@pseudo/LC_MESSAGES/pexol.mo in the build";
  UseCatalogue(std::move(pseudo));
  const std::wstring root =
      L"Software\\pexol-parts-test-pseudo-" + std::to_wstring(GetCurrentProcessId());
  std::vector<std::string> shown;
  {
    RegistrySettings settings(root);
    Prompts prompts;
    MainWindow window(settings, prompts);
    CollectShownTexts(window.Handle(), shown);
    threadTexts.clear();
    CollectThreadsWindows(false);
    const Metrics metrics(96);
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { CollectThreadsWindows(true); });
    EXPECT_FALSE(EditMediaFolders(window.Handle(), {}, prompts, metrics));
    EXPECT_FALSE(AskToCollect(window.Handle(), prompts, metrics));
    KillTimer(nullptr, timer);
    shown.insert(shown.end(), threadTexts.begin(), threadTexts.end());
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
  for (const auto& page : pages::MakeSharedPages())
    for (const pages::FormPart& part : page->Parts())
      for (const pages::FilterEntry& entry : pages::FilterEntries(part.request.filter))
        shown.push_back(entry.label.substr(0, entry.label.rfind(" (")));  // less "(*.mpj)"
  UseCatalogue(std::nullopt);

  std::set<std::string> names = test::SameInEveryLanguage();
  // The window's name, and the null device the find page's report starts as.
  names.insert({"pexol", "nul"});
  std::string left;
  for (const std::string& text : shown)
    if (const std::string words = test::WordsOutsideTheCatalogue(text, names); !words.empty())
      left += text + "  [" + words + "]\n";
  EXPECT_EQ(left, "");
  // The texts were read: the tabs, both dialogs' buttons and the timeline's tips among them.
  EXPECT_GT(shown.size(), 60u);
  EXPECT_GT(threadTexts.size(), 12u);
}

// What Explorer hands a window a file dropped on it: DROPFILES and the names after it, each
// ended by a zero and the list by another.
HGLOBAL DropOf(std::wstring_view first, std::wstring_view second) {
  const std::size_t chars = first.size() + second.size() + 3;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(drop + 1);
  std::copy(first.begin(), first.end(), names);
  std::copy(second.begin(), second.end(), names + first.size() + 1);
  GlobalUnlock(memory);
  return memory;
}

TEST_F(Registry, AProjectOpenedWithTheWindowOrDroppedOnItFillsEveryPagesSource) {
  Prompts prompts;
  RegistrySettings settings(root);
  MainWindow window(settings, prompts);
  const int sources[] = {ids::toTextSource, ids::toProjectSource, ids::findSource,
                         ids::exportSource};
  window.OpenProject("C:\\archive\\運動会.mpj");
  for (const int id : sources)
    EXPECT_EQ(Utf8(TextOf(Descendant(window.Handle(), id))), "C:\\archive\\運動会.mpj") << id;
  EXPECT_TRUE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  SendMessageW(window.Handle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(DropOf(L"D:\\卒業式.mpj", L"D:\\other.mpj")), 0);
  for (const int id : sources)
    EXPECT_EQ(Utf8(TextOf(Descendant(window.Handle(), id))), "D:\\卒業式.mpj") << id;
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

/// Runs the window's messages until `done` or 30 s have passed.
template <class Done>
bool PumpUntil(Done done) {
  const DWORD until = GetTickCount() + 30000;
  MSG message;
  while (!done() && GetTickCount() < until) {
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    else
      Sleep(5);
  }
  return done();
}

/// The view's pixels as it paints them.
struct Painted {
  explicit Painted(HWND view) {
    RECT client;
    GetClientRect(view, &client);
    width = client.right;
    height = client.bottom;
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    SendMessageW(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  }
  ~Painted() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }

  int width = 0, height = 0;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
};

// The large project under the Win32 window's pages, as the Qt window shows it: fitted, every
// pixel of the main row a clip; at 1:1 (the button) scrolled to the middle with the bar, each
// colour clip as many pixels of its colour as it has frames; Ctrl and the wheel zoom around the
// pointer, 0 fits again. Over a missing clip the tooltip says a click leads to the media
// folders, and the click asks for them with the clip's Windows folder.
TEST(Timeline, TheLargeProjectReadsAndAMissingClipLeadsToTheMediaFolders) {
  wchar_t temporary[MAX_PATH];
  GetTempPathW(MAX_PATH, temporary);
  const std::filesystem::path project =
      std::filesystem::path(temporary) /
      (L"pexol-timeline-" + std::to_wstring(GetCurrentProcessId()) + L".mpj");
  build::Project shape = build::LargeProject();
  shape.main.front().name = "C:\\Video\\moved\\gone.avi";
  {
    std::ofstream out(project, std::ios::binary);
    out << build::BuildProject(shape);
  }
  RegisterPictureClass();
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1400, 600, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  {
    PictureView view(window, ids::timeline);
    std::string asked;
    view.onMediaFolders = [&asked](const std::string& folder) { asked = folder; };
    pages::PictureRequest request;
    request.source = Utf8(project.wstring());
    view.Show(request);
    ASSERT_TRUE(PumpUntil([&] { return view.HasPicture() && !view.Drawing(); }));
    SetWindowPos(view.Handle(), nullptr, 0, 0, 1400, view.HeightFor(1400), SWP_NOZORDER);
    pages::TimelineState& state = view.State();
    const TimelineScene& scene = *state.Scene();
    const pages::TimelineMetrics& metrics = state.Metrics();
    ASSERT_EQ(scene.end, 304440);
    EXPECT_TRUE(state.Zoom().Fitted());
    const int canvasTop = view.HeightFor(1400) - static_cast<int>(std::ceil(state.Height())) -
                          GetSystemMetrics(SM_CYHSCROLL);
    const auto colourOf = [](std::uint32_t rgb) {
      return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    };
    const std::size_t main = TimelineScene::mainRow;
    {
      const Painted painted(view.Handle());
      const int y = canvasTop + static_cast<int>(metrics.TopOf(main) + metrics.Row()) - 4;
      const int left = static_cast<int>(metrics.labelWidth);
      const int right = static_cast<int>(metrics.labelWidth + state.Zoom().XOf(304440));
      int covered = 0;
      for (int x = left; x < right; ++x)
        covered += painted.At(x, y) != colourOf(scene_colours::row) ? 1 : 0;
      EXPECT_GE(covered, (right - left) * 95 / 100);
    }

    SendMessageW(GetDlgItem(view.Handle(), ids::timelineOneToOne), BM_CLICK, 0, 0);
    EXPECT_EQ(state.Zoom().Zoom(), 1);
    HWND bar = FindWindowExW(view.Handle(), nullptr, L"SCROLLBAR", nullptr);
    ASSERT_NE(bar, nullptr);
    // A page at a time to the middle, as clicks beside the bar's thumb go; the thumb follows.
    // From the start (1:1 keeps the fitted view's middle, which the room after the end moves).
    SendMessageW(view.Handle(), WM_HSCROLL, SB_LEFT, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(state.Zoom().Left(), 0);
    double before = state.Zoom().Left();
    for (int page = 0; page < 1000 && state.Zoom().Left() + state.Zoom().RowsWidth() / 2 < 152220;
         ++page) {
      before = state.Zoom().Left();
      SendMessageW(view.Handle(), WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(bar));
    }
    const double lastStep = state.Zoom().Left() - before;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &info);
    EXPECT_EQ(info.nPos, state.Zoom().ScrollBar().value);
    EXPECT_GT(info.nPos, 0);
    // At the middle, or past it by less than the last page stepped.
    EXPECT_GT(lastStep, 0);
    EXPECT_GE(state.Zoom().Left() + state.Zoom().RowsWidth() / 2, 152220);
    EXPECT_LT(state.Zoom().Left() + state.Zoom().RowsWidth() / 2, 152220 + lastStep);
    {
      const Painted painted(view.Handle());
      const int top = canvasTop + static_cast<int>(metrics.TopOf(main)) + 4;
      int colourClips = 0;
      for (const SceneClip& clip : scene.rows[main].clips) {
        const double x0 = metrics.labelWidth + state.Zoom().XOf(static_cast<double>(clip.recordIn));
        const double x1 =
            metrics.labelWidth + state.Zoom().XOf(static_cast<double>(clip.recordOut));
        if (clip.kind != ItemKind::Colour || x0 < metrics.labelWidth || x1 > 1400) continue;
        ++colourClips;
        int filled = 0;
        for (int x = static_cast<int>(x0) + 1; x < static_cast<int>(x1) - 1; ++x)
          filled += painted.At(x, top) == colourOf(clip.fill) ? 1 : 0;
        EXPECT_GE(filled, 200) << clip.recordIn;
      }
      EXPECT_GE(colourClips, 1);
    }

    // Ctrl and the wheel, at the pointer: twice as close, the frame under it where it was.
    POINT pointer{700, canvasTop + static_cast<int>(metrics.TopOf(main)) + 8};
    const double frame = state.Zoom().FrameAt(pointer.x - metrics.labelWidth);
    POINT screen = pointer;
    ClientToScreen(view.Handle(), &screen);
    SendMessageW(view.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 2 * WHEEL_DELTA),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_NEAR(state.Zoom().Zoom(), 2, 1e-9);
    EXPECT_NEAR(state.Zoom().FrameAt(pointer.x - metrics.labelWidth), frame, 0.01);
    SendMessageW(view.Handle(), WM_KEYDOWN, '0', 0);
    EXPECT_TRUE(state.Zoom().Fitted());

    // The first clip, whose medium moved from C:\Video\moved.
    SendMessageW(view.Handle(), WM_KEYDOWN, '1', 0);
    SendMessageW(view.Handle(), WM_KEYDOWN, VK_HOME, 0);
    const LPARAM onIt = MAKELPARAM(static_cast<int>(metrics.labelWidth) + 20, pointer.y);
    SendMessageW(view.Handle(), WM_MOUSEMOVE, 0, onIt);
    const std::string tip = Utf8(view.TipText());
    EXPECT_EQ(tip.find("C:\\Video\\moved\\gone.avi\n"), 0u) << tip;
    EXPECT_NE(tip.find("Not found. Click the clip to choose the media folders."), std::string::npos)
        << tip;
    SendMessageW(view.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onIt);
    EXPECT_EQ(asked, "C:\\Video\\moved");
  }
  DestroyWindow(window);
  std::filesystem::remove(project);
}

/// A PNG of `width` by `height` pixels of one colour (0xRRGGBB), its data stored uncompressed.
std::string FlatPng(int width, int height, std::uint32_t rgb) {
  const auto bigEndian = [](std::string& to, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) to += static_cast<char>(value >> shift & 0xFF);
  };
  const auto crc = [](std::string_view bytes) {
    std::uint32_t sum = 0xFFFFFFFFu;
    for (const char c : bytes) {
      sum ^= static_cast<unsigned char>(c);
      for (int bit = 0; bit < 8; ++bit) sum = sum >> 1 ^ (sum & 1 ? 0xEDB88320u : 0);
    }
    return ~sum;
  };
  std::string rows;
  for (int y = 0; y < height; ++y) {
    rows += '\0';  // no filter
    for (int x = 0; x < width; ++x)
      rows += {static_cast<char>(rgb >> 16), static_cast<char>(rgb >> 8), static_cast<char>(rgb)};
  }
  std::uint32_t a = 1, b = 0;
  for (const char c : rows) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  std::string deflated = "\x78\x01\x01";
  deflated += {static_cast<char>(rows.size() & 0xFF), static_cast<char>(rows.size() >> 8),
               static_cast<char>(~rows.size() & 0xFF), static_cast<char>(~rows.size() >> 8 & 0xFF)};
  deflated += rows;
  bigEndian(deflated, b << 16 | a);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  const auto chunk = [&](std::string_view type, const std::string& data) {
    bigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type) + data;
    png += body;
    bigEndian(png, crc(body));
  };
  std::string header;
  bigEndian(header, static_cast<std::uint32_t>(width));
  bigEndian(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  chunk("IHDR", header);
  chunk("IDAT", deflated);
  chunk("IEND", "");
  return png;
}

// With no media program on Windows, a found clip shows the poster the cache holds: none at
// first (its box as before), then, looked at again, a red movie on the main row and a blue still
// on the insert row show their colours inside their boxes, and a cached file that is no PNG
// shows nothing.
TEST(Timeline, EachFoundClipShowsThePosterTheCacheHolds) {
  wchar_t temporary[MAX_PATH];
  GetTempPathW(MAX_PATH, temporary);
  const std::filesystem::path folder = std::filesystem::path(temporary) /
                                       (L"pexol-posters-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(folder / "day");
  const wchar_t* before = _wgetenv(L"LOCALAPPDATA");
  const std::wstring localAppData = before ? before : L"";
  _wputenv_s(L"LOCALAPPDATA", (folder / "local").c_str());
  for (const char* medium : {"day/red.avi", "day/blue.png", "day/bad.png"})
    std::ofstream(folder / medium, std::ios::binary) << "the medium's bytes: " << medium;
  build::Project shape;
  shape.main = {{"day\\red.avi", 30, 89, 0, "", 100, 100, {}}};
  shape.insert = {{"day\\blue.png", 0, 59, 0, "", 100, 100, {}},
                  {"day\\bad.png", 0, 59, 60, "", 100, 100, {}}};
  std::ofstream(folder / "p.mpj", std::ios::binary) << build::BuildProject(shape);

  RegisterPictureClass();
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 900, 400, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  {
    PictureView view(window, ids::timeline);
    pages::PictureRequest request;
    request.source = Utf8((folder / "p.mpj").wstring());
    const auto look = [&] {
      view.Show(request);
      return PumpUntil(
          [&] { return view.HasPicture() && !view.Drawing() && !view.State().ReadingPosters(); });
    };
    ASSERT_TRUE(look());
    SetWindowPos(view.Handle(), nullptr, 0, 0, 900, view.HeightFor(900), SWP_NOZORDER);
    const pages::TimelineState& state = view.State();
    const pages::TimelineMetrics& metrics = state.Metrics();
    const int canvasTop = view.HeightFor(900) - static_cast<int>(std::ceil(state.Height())) -
                          GetSystemMetrics(SM_CYHSCROLL);
    // A few pixels inside the left of a clip's box, where its poster goes.
    const auto inBox = [&](const Painted& painted, std::size_t row, double frame) {
      const COLORREF pixel =
          painted.At(static_cast<int>(metrics.labelWidth + state.Zoom().XOf(frame) + 8),
                     canvasTop + static_cast<int>(metrics.TopOf(row) + metrics.Row() / 2 + 4));
      return static_cast<std::uint32_t>(GetRValue(pixel)) << 16 | GetGValue(pixel) << 8 |
             GetBValue(pixel);
    };
    const auto looksLike = [](std::uint32_t pixel, std::uint32_t rgb) {
      for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(int(pixel >> shift & 0xFF) - int(rgb >> shift & 0xFF)) > 24) return false;
      return true;
    };
    const std::size_t main = TimelineScene::mainRow;
    {
      const Painted painted(view.Handle());
      EXPECT_FALSE(looksLike(inBox(painted, main, 0), 0xFF0000));
      EXPECT_FALSE(looksLike(inBox(painted, 1, 0), 0x0000FF));
    }

    const ScenePosterRequests asked = PosterRequestsOf(*state.Scene());
    ASSERT_EQ(asked.requests.size(), 3u);
    const std::uint32_t colours[] = {0xFF0000, 0x0000FF};
    for (std::size_t i = 0; i < asked.requests.size(); ++i) {
      const std::filesystem::path file = PosterCacheFile(asked.requests[i]);
      ASSERT_FALSE(file.empty());
      std::filesystem::create_directories(file.parent_path());
      const bool still = asked.places[i].first != main;
      const bool bad = asked.places[i].second == 1;
      std::ofstream(file, std::ios::binary)
          << (bad ? std::string("not a picture") : FlatPng(160, 120, colours[still ? 1 : 0]));
    }
    // Looked at again: the page layer reads the cache, the view draws what it holds.
    view.Show({});
    ASSERT_TRUE(PumpUntil([&] { return !view.HasPicture(); }));
    ASSERT_TRUE(look());
    const Painted painted(view.Handle());
    const std::uint32_t red = inBox(painted, main, 0);
    const std::uint32_t blue = inBox(painted, 1, 0);
    EXPECT_TRUE(looksLike(red, 0xFF0000)) << std::hex << red;
    EXPECT_TRUE(looksLike(blue, 0x0000FF)) << std::hex << blue;
    const std::uint32_t bad = inBox(painted, 1, 60);
    EXPECT_FALSE(looksLike(bad, 0xFF0000) || looksLike(bad, 0x0000FF)) << std::hex << bad;
  }
  DestroyWindow(window);
  if (localAppData.empty())
    _wputenv_s(L"LOCALAPPDATA", L"");
  else
    _wputenv_s(L"LOCALAPPDATA", localAppData.c_str());
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace pexol::win32
