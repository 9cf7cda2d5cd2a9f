// app/win32/PagePanel.h - a page layer page shown with Win32 controls, and its run
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/pages/Page.h"
#include "app/pages/RunRelay.h"
#include "app/win32/Ui.h"

namespace pexol::pages {
struct MediaFolders;
}

namespace pexol::win32 {

class Prompts;

/// What the window shares with its pages; every piece outlives them.
struct PanelHost {
  Prompts& prompts;
  const pages::MediaFolders& media;  ///< read when a run starts
  std::function<bool()> busy;        ///< true while any page runs
  std::function<void(bool running)> runChanged;
  std::function<void()> pictureChanged;
  std::function<void()> mediaFoldersWanted;
  std::function<void()> runEnded;
};

/// One page in the tab control: builds a control for each part of the page, shows each field
/// and sets it as the user changes it, lays the controls out at the window's DPI, and runs the
/// page's job on a worker thread with the status line, bar and Cancel.
class PagePanel {
 public:
  PagePanel(HWND window, std::unique_ptr<pages::Page> page, PanelHost& host,
            const Metrics& metrics);
  ~PagePanel();
  PagePanel(const PagePanel&) = delete;
  PagePanel& operator=(const PagePanel&) = delete;

  HWND Handle() const { return handle; }
  pages::Page& Model() { return *model; }
  /// Places the controls in a panel `width` wide and `height` high; returns the height the
  /// parts need (the stretches empty).
  int LayOut(int width, int height, bool place = true);
  /// The least width that shows every choice's whole text.
  int MinWidth() const;
  /// The font and measures changed (a new DPI).
  void SetMetrics(const Metrics& now);
  /// Another page's run goes on (or ended): the run buttons wait.
  void SetBusy(bool busy);

  bool Running() const { return worker.joinable(); }
  /// The run button: starts the job unless the user keeps a destination.
  void Start();
  /// Starts the job without asking about its destinations.
  void StartUnasked();
  void RequestStop();
  /// Stops the run and waits for it; its result is not shown. For closing the window.
  void StopAndWait();
  /// The project file field, for the project offered to a page that has none.
  HWND SourceEdit() const;
  void Offer(const std::string& project);

  /// A test's hand on the page: sets control `id` (an edit's text; "1" clicks a radio button
  /// or ticks a check box, "0" clears a check box) as the user would; false for no such control.
  bool SetControl(int id, const std::string& value);
  /// Presses button `id`; false for no such button.
  bool Click(int id);

 private:
  struct Control {
    HWND handle = nullptr;
    int field = -1;
    int value = 0;  ///< a radio button's value
    enum class Kind {
      Label,
      Box,
      Radio,
      Check,
      Edit,
      Chooser,
      Button,
      MediaFolders,
      Run,
      Cancel,
      Progress,
      Status,
      Action
    } kind = Kind::Label;
    std::size_t part = 0;
  };

  friend void RegisterPanelClass();
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void Build();
  HWND Add(const wchar_t* className, std::wstring_view text, DWORD style, int id,
           Control::Kind kind, int field, std::size_t part, int value = 0);
  void Command(int id, int code);
  void Show(int field);
  void Choose(std::size_t part);
  void Act();
  void Finish(WPARAM run);
  void ShowRunning(bool running);
  const Control* Find(int id) const;

  HWND handle = nullptr;
  std::unique_ptr<pages::Page> model;
  PanelHost& host;
  const Metrics* metrics;
  std::vector<Control> controls;
  bool showing = false;  ///< the program sets a control: its notification is no user's edit
  std::unique_ptr<pages::RunRelay> relay;
  std::thread worker;
  RunResult result;
  bool quiet = false;
  WPARAM runs = 0;
};

/// The "about" page: icon, name, version and notice.
class AboutPanel {
 public:
  AboutPanel(HWND window, const Metrics& metrics);
  HWND Handle() const { return handle; }
  int LayOut(int width, int height, bool place = true);
  void SetMetrics(const Metrics& now);

 private:
  HWND handle = nullptr;
  const Metrics* metrics;
  HWND icon = nullptr;
  std::vector<HWND> lines;
};

/// Registers the panels' window class; once per process.
void RegisterPanelClass();

}  // namespace pexol::win32
