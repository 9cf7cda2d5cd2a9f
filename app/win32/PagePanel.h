// app/win32/PagePanel.h - a page layer page shown with Win32 controls, and its run
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/pages/Page.h"
#include "app/pages/PageRun.h"
#include "app/win32/Ui.h"

namespace pexol::pages {
struct MediaFolders;
}  // namespace pexol::pages

namespace pexol::win32 {

class Prompts;

/// What the window shares with its pages; every piece outlives them.
struct PanelHost {
  Prompts& prompts;
  pages::RunGate& gate;
  std::function<pages::MediaFolders()> media;  ///< the window's, read when a run starts
  std::function<void()> pictureChanged;
  std::function<void()> mediaFoldersWanted;
  std::function<void()> runEnded;
};

/// One page in the tab control: builds a control for each part of the page, shows each field
/// and sets it as the user changes it, lays the controls out at the window's DPI, and shows the
/// page's run (which its `PageRun` runs) in the status line, bar and Cancel.
class PagePanel final : private pages::RunView {
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

  bool Running() const { return run.Running(); }
  /// The run button: starts the job unless the user keeps a destination.
  void Start();
  /// Starts the job without asking about its destinations.
  void StartUnasked();
  void RequestStop() { run.RequestStop(); }
  /// Stops the run and waits for it; its result is not shown. For closing the window.
  void StopAndWait() { run.StopAndWait(); }
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
  void ShowField(int field);
  void Choose(std::size_t part);
  void Act();
  const Control* Find(int id) const;
  HWND ControlOf(Control::Kind kind) const;

  // The run's view.
  void Wake() override;
  pages::RunShown Shown() const override;
  void Show(const pages::RunShown& shown) override;
  void ShowRunning(bool running) override;
  bool Ask(const std::string& question) override;
  void ShowResult(const pages::ShownMessage& message) override;

  /// Posted by the run's thread: the run has news for the window's thread.
  static constexpr UINT runMessage = WM_APP + 1;

  HWND handle = nullptr;
  std::unique_ptr<pages::Page> model;
  PanelHost& host;
  const Metrics* metrics;
  std::vector<Control> controls;
  bool showing = false;  ///< the program sets a control: its notification is no user's edit
  pages::PageRun run;
};

/// Keeps the English texts of the pages' controls, so that a translated window gives each the
/// access key it has in English. Called once at the start, before a catalogue is chosen.
void KeepEnglishLabels();

/// Registers the panels' window class; once per process.
void RegisterPanelClass();
/// The panels' window class, the pages' and the about page's.
const wchar_t* PanelClass();

}  // namespace pexol::win32
