// app/win32/PanelScripting.cpp - a test's hand on a page: controls set and buttons pressed as
// the user would
#include "app/win32/PagePanel.h"

namespace pexol::win32 {

bool PagePanel::SetControl(int id, const std::string& value) {
  const Control* control = Find(id);
  if (control == nullptr) return false;
  switch (control->kind) {
    case Control::Kind::Edit:
      SetWindowTextW(control->handle, Wide(value).c_str());
      return true;
    case Control::Kind::Radio:
    case Control::Kind::Check: {
      const bool on = SendMessageW(control->handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (on != (value == "1")) SendMessageW(control->handle, BM_CLICK, 0, 0);
      return true;
    }
    default:
      return false;
  }
}

bool PagePanel::Click(int id) {
  const Control* control = Find(id);
  if (control == nullptr || control->kind == Control::Kind::Edit) return false;
  SendMessageW(control->handle, BM_CLICK, 0, 0);
  return true;
}

}  // namespace pexol::win32
