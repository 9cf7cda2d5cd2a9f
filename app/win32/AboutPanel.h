// app/win32/AboutPanel.h - the "about" page and its language list
#pragma once

#include <windows.h>

#include <vector>

#include "app/win32/Ui.h"

namespace pexol::pages {
class SettingsStore;
}  // namespace pexol::pages

namespace pexol::win32 {

/// The "about" page: icon, name, version and notice, and the list of the window's languages.
class AboutPanel {
 public:
  AboutPanel(HWND window, const Metrics& metrics, pages::SettingsStore& settings);
  ~AboutPanel();
  AboutPanel(const AboutPanel&) = delete;
  AboutPanel& operator=(const AboutPanel&) = delete;

  HWND Handle() const { return handle; }
  int LayOut(int width, int height, bool place = true);
  /// The least width that shows every line whole.
  int MinWidth() const;
  void SetMetrics(const Metrics& now);

 private:
  friend class PagePanel;  // its window procedure passes the list's choice on
  /// The user chose a language from the list: it is the window's from its next start.
  void Chosen();

  HWND handle = nullptr;
  const Metrics* metrics;
  pages::SettingsStore& settings;
  HWND icon = nullptr;
  std::vector<HWND> lines;
  HWND languageLabel = nullptr;
  HWND languageList = nullptr;
  HWND languageNote = nullptr;
};

}  // namespace pexol::win32
