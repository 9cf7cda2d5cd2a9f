// app/win32/PanelRun.cpp - a page's run shown in its status line, bar and Cancel, woken on the
// window's thread
#include <commctrl.h>

#include "app/win32/PagePanel.h"
#include "app/win32/Prompts.h"

namespace pexol::win32 {

void PagePanel::Start() {
  run.Start(host.media());
}

void PagePanel::StartUnasked() {
  run.StartUnasked(host.media());
}

void PagePanel::Wake() {
  // Dropped with the panel when it goes first; the run's thread has ended by then.
  PostMessageW(handle, runMessage, 0, 0);
}

pages::RunShown PagePanel::Shown() const {
  HWND progress = ControlOf(Control::Kind::Progress);
  return {Utf8(TextOf(ControlOf(Control::Kind::Status))),
          static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0)),
          static_cast<int>(SendMessageW(progress, PBM_GETRANGE, FALSE, 0))};
}

void PagePanel::Show(const pages::RunShown& shown) {
  HWND progress = ControlOf(Control::Kind::Progress);
  SendMessageW(progress, PBM_SETRANGE32, 0, shown.total);
  SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(shown.done), 0);
  SetWindowTextW(ControlOf(Control::Kind::Status), Wide(shown.status).c_str());
}

bool PagePanel::Ask(const std::string& question) {
  return host.prompts.Question(GetAncestor(handle, GA_ROOT), question);
}

void PagePanel::ShowResult(const pages::ShownMessage& message) {
  host.prompts.ShowMessage(GetAncestor(handle, GA_ROOT), message.text, message.exclamation);
  SendMessageW(ControlOf(Control::Kind::Progress), PBM_SETPOS, 0, 0);
}

void PagePanel::ShowRunning(bool running) {
  // The page's own button turns into Cancel; the other pages' buttons wait.
  HWND focus = GetFocus();
  for (const Control& control : controls) {
    if (control.kind == Control::Kind::Run) {
      ShowWindow(control.handle, running ? SW_HIDE : SW_SHOW);
      if (!running && focus == nullptr) SetFocus(control.handle);
    }
    if (control.kind == Control::Kind::Cancel) {
      ShowWindow(control.handle, running ? SW_SHOW : SW_HIDE);
      if (running && IsWindowVisible(handle)) SetFocus(control.handle);
    }
  }
}

void PagePanel::SetBusy(bool busy) {
  for (const Control& control : controls)
    if (control.kind == Control::Kind::Run || control.kind == Control::Kind::Action)
      EnableWindow(control.handle, !busy);
}

}  // namespace pexol::win32
