// app/win32/MainWindow.h - the Win32 window: the tab control over the pages and the picture
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/pages/MediaFolders.h"
#include "app/pages/PageRun.h"
#include "app/pages/WindowRules.h"
#include "app/win32/AboutPanel.h"
#include "app/win32/PagePanel.h"
#include "app/win32/PictureView.h"
#include "app/win32/Prompts.h"
#include "app/win32/RegistrySettings.h"
#include "app/win32/Ui.h"

namespace pexol::win32 {

/// One step of a test's script: what a user would do next.
struct ScriptStep {
  enum class Kind { Page, Set, Click, Screenshot, Close } kind;
  int id = 0;              ///< the page's place, or the control
  std::string value = {};  ///< the text set, or the screenshot's file
};

/// The one window: a tab control over the pages and the timeline picture of the page in front.
/// It holds what the pages share: the media folders, the picture, the settings and the rule of
/// one run at a time; each page's behaviour is the page layer's.
class MainWindow {
 public:
  MainWindow(RegistrySettings& settings, Prompts& prompts);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return handle; }
  /// Shows the window and runs its messages until it is closed; `script` runs first, step by
  /// step, each step once the run it started has ended. Returns the exit status.
  int Run(std::deque<ScriptStep> script);
  /// Puts `path` (the project Explorer opens with the window, `pexol.exe FILE`) into every
  /// page's source field.
  void OpenProject(const std::string& path);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void LayOut();
  void SelectPage(int index);
  void FollowPage();
  void OfferProject();
  /// The "media folders..." buttons and a click on a missing clip (`windowsFolder` its folder).
  void EditMediaFolders(const std::string& windowsFolder = {});
  /// The media folders every page's run and picture use: the setting, then the find page's
  /// search folder.
  pages::MediaFolders RunMedia() const;
  void RunChanged(bool running);
  /// Writes the window's place and size as the user left them (not maximized).
  void SavePlace();
  /// Brings back the place and size written last; `width` and `height` are the natural size,
  /// which a stored size less than half of does not replace.
  void RestorePlace(int width, int height);
  bool MayClose();
  void NextStep();
  bool Screenshot(const std::string& path) const;
  int NaturalWidth() const;
  int NaturalHeight() const;
  HWND PanelHandle(int index) const;

  RegistrySettings& settings;
  Prompts& prompts;
  HWND handle = nullptr;
  HWND tabs = nullptr;
  std::unique_ptr<Metrics> metrics;
  pages::MediaFolders media;
  pages::RunGate gate;
  std::unique_ptr<PanelHost> host;
  std::vector<std::unique_ptr<PagePanel>> pages;
  std::unique_ptr<AboutPanel> about;
  std::unique_ptr<PictureView> picture;
  pages::ProjectOffer offer;
  int current = 0;
  std::deque<ScriptStep> script;
  bool scriptFailed = false;
};

}  // namespace pexol::win32
