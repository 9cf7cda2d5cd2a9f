// app/win32/PagePanel.cpp - a page's controls and their fields
#include "app/win32/PagePanel.h"

#include <commctrl.h>

#include <map>

#include "app/pages/ControlIds.h"
#include "app/pages/FindPage.h"
#include "app/pages/MediaFolders.h"
#include "app/win32/AboutPanel.h"
#include "app/win32/Dialogs.h"
#include "app/win32/Prompts.h"
#include "core/Translation.h"

namespace pexol::win32 {

namespace {

/// The English texts of the pages' controls that take access keys, by control id.
std::map<int, std::wstring>& EnglishLabels() {
  static std::map<int, std::wstring> labels;
  return labels;
}

/// `text` with the access key of control `id` as the English window has it.
std::wstring Keyed(std::wstring_view text, int id, std::wstring& used) {
  const auto& english = EnglishLabels();
  const auto found = english.find(id);
  if (found == english.end()) return WithAccessKey(text, used);
  return WithEnglishKey(text, found->second, used);
}

}  // namespace

const wchar_t* PanelClass() {
  return L"pexolPage";
}

void KeepEnglishLabels() {
  auto& labels = EnglishLabels();
  for (const auto& page : pages::MakeSharedPages())
    for (const pages::FormPart& part : page->Parts()) {
      for (const pages::Choice& choice : part.choices) labels[choice.id] = Wide(choice.text);
      if (part.kind == pages::PartKind::File)
        labels[part.labelId] = Wide(part.text);
      else if (part.kind != pages::PartKind::Choices && part.kind != pages::PartKind::Stretch)
        labels[part.id] = Wide(part.text);
    }
}

void RegisterPanelClass() {
  RegisterWindowClass(PanelClass(), &PagePanel::Procedure);
}

PagePanel::PagePanel(HWND window, std::unique_ptr<pages::Page> page, PanelHost& host,
                     const Metrics& metrics)
    : model(std::move(page)), host(host), metrics(&metrics), run(*model, host.gate, *this) {
  handle = CreateWindowExW(WS_EX_CONTROLPARENT, PanelClass(), L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                           0, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetPropW(handle, L"pexolPanel", this);
  model->State().onChanged = [this](int field) { ShowField(field); };
  run.onEnded = [this] {
    if (this->host.runEnded) this->host.runEnded();
  };
  Build();
}

PagePanel::~PagePanel() {
  run.StopAndWait();
  model->State().onChanged = nullptr;
  RemovePropW(handle, L"pexolPanel");
}

LRESULT CALLBACK PagePanel::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
    SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (auto* about = static_cast<AboutPanel*>(GetPropW(window, L"pexolAbout"))) {
    if (message == WM_COMMAND && LOWORD(w) == ids::aboutLanguage && HIWORD(w) == CBN_SELCHANGE)
      about->Chosen();
    return DefWindowProcW(window, message, w, l);
  }
  auto* panel = static_cast<PagePanel*>(GetPropW(window, L"pexolPanel"));
  if (panel == nullptr) return DefWindowProcW(window, message, w, l);
  return panel->Handle(message, w, l);
}

LRESULT PagePanel::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(w), HIWORD(w));
      return 0;
    case runMessage:
      run.Deliver();
      return 0;
    default:
      return DefWindowProcW(handle, message, w, l);
  }
}

HWND PagePanel::Add(const wchar_t* className, std::wstring_view text, DWORD style, int id,
                    Control::Kind kind, int field, std::size_t part, int value) {
  HWND control = MakeControl(handle, className, text, style, id, *metrics);
  controls.push_back({control, field, value, kind, part});
  return control;
}

void PagePanel::Build() {
  using Kind = Control::Kind;
  std::wstring keys;  // the access keys taken on this page
  const auto& parts = model->Parts();
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const pages::FormPart& part = parts[p];
    const std::wstring text = Wide(part.text);
    switch (part.kind) {
      case pages::PartKind::Choices: {
        Add(WC_BUTTONW, text, BS_GROUPBOX, part.id, Kind::Box, -1, p);
        bool first = true;
        for (const pages::Choice& choice : part.choices) {
          Add(WC_BUTTONW, Keyed(Wide(choice.text), choice.id, keys),
              BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), choice.id, Kind::Radio,
              part.field, p, choice.value);
          first = false;
        }
        break;
      }
      case pages::PartKind::Check:
        Add(WC_BUTTONW, Keyed(text, part.id, keys), BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP,
            part.id, Kind::Check, part.field, p);
        break;
      case pages::PartKind::Stretch:
        break;
      case pages::PartKind::File:
        // The caption's access key moves to the edit after it, as in a dialog.
        Add(WC_STATICW, Keyed(text, part.labelId, keys), SS_LEFT | WS_GROUP, part.labelId,
            Kind::Label, -1, p);
        Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, part.editId, Kind::Edit,
            part.field, p);
        Add(WC_BUTTONW, L"...", BS_PUSHBUTTON | WS_TABSTOP, part.chooserId, Kind::Chooser,
            part.field, p);
        break;
      case pages::PartKind::MediaFolders:
        Add(WC_BUTTONW, Keyed(text, part.id, keys), BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, part.id,
            Kind::MediaFolders, -1, p);
        break;
      case pages::PartKind::Run:
        Add(WC_BUTTONW, Keyed(text, part.id, keys), BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, part.id,
            Kind::Run, -1, p);
        ShowWindow(Add(WC_BUTTONW, Wide(Tr("Cancel")), BS_PUSHBUTTON | WS_TABSTOP, part.cancelId,
                       Kind::Cancel, -1, p),
                   SW_HIDE);
        SendMessageW(Add(PROGRESS_CLASSW, L"", 0, part.progressId, Kind::Progress, -1, p),
                     PBM_SETRANGE32, 0, 200);
        Add(WC_EDITW, L"", ES_READONLY | ES_AUTOHSCROLL, part.statusId, Kind::Status, -1, p);
        break;
      case pages::PartKind::Action:
        Add(WC_BUTTONW, Keyed(text, part.id, keys), BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, part.id,
            Kind::Action, -1, p);
        break;
    }
  }
  for (int field = 0; field < model->State().Count(); ++field) ShowField(field);
}

void PagePanel::ShowField(int field) {
  const pages::Field& value = model->State().At(field);
  showing = true;
  for (const Control& control : controls) {
    if (control.field != field) continue;
    switch (control.kind) {
      case Control::Kind::Edit:
        if (Utf8(TextOf(control.handle)) != value.text)
          SetWindowTextW(control.handle, Wide(value.text).c_str());
        break;
      case Control::Kind::Radio:
        SendMessageW(control.handle, BM_SETCHECK,
                     control.value == value.value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case Control::Kind::Check:
        SendMessageW(control.handle, BM_SETCHECK, value.value != 0 ? BST_CHECKED : BST_UNCHECKED,
                     0);
        break;
      default:
        break;
    }
  }
  showing = false;
  // A box that can be used only at times follows every change.
  for (const Control& control : controls)
    if (const auto& rule = model->Parts()[control.part].enabled)
      EnableWindow(control.handle, rule(model->State()));
  if (model->State().DrawsPicture(field) && host.pictureChanged) host.pictureChanged();
}

const PagePanel::Control* PagePanel::Find(int id) const {
  for (const Control& control : controls)
    if (GetDlgCtrlID(control.handle) == id) return &control;
  return nullptr;
}

void PagePanel::Command(int id, int code) {
  const Control* control = Find(id);
  if (control == nullptr) return;
  pages::PageState& state = model->State();
  using Kind = Control::Kind;
  switch (control->kind) {
    case Kind::Edit:
      if (code != EN_CHANGE) return;
      state.SetText(control->field, Utf8(TextOf(control->handle)));
      // Typing makes the name the user's own again: the save dialog's question no longer covers it.
      if (!showing) state.Typed(control->field);
      return;
    case Kind::Radio:
      if (code == BN_CLICKED && SendMessageW(control->handle, BM_GETCHECK, 0, 0) == BST_CHECKED)
        state.SetValue(control->field, control->value);
      return;
    case Kind::Check:
      if (code == BN_CLICKED)
        state.SetFlag(control->field,
                      SendMessageW(control->handle, BM_GETCHECK, 0, 0) == BST_CHECKED);
      return;
    case Kind::Chooser:
      if (code == BN_CLICKED) Choose(control->part);
      return;
    case Kind::MediaFolders:
      if (code == BN_CLICKED && host.mediaFoldersWanted) host.mediaFoldersWanted();
      return;
    case Kind::Run:
      if (code == BN_CLICKED) Start();
      return;
    case Kind::Cancel:
      if (code == BN_CLICKED) RequestStop();
      return;
    case Kind::Action:
      if (code == BN_CLICKED) Act();
      return;
    default:
      return;
  }
}

void PagePanel::Choose(std::size_t part) {
  const pages::FormPart& file = model->Parts()[part];
  if (const auto path = host.prompts.ChooseFile(handle, file.request)) {
    showing = true;
    model->State().SetChosen(file.field, *path);
    showing = false;
  }
}

void PagePanel::Act() {
  auto* find = dynamic_cast<pages::FindPage*>(model.get());
  if (find == nullptr || host.gate.Running() != nullptr) return;
  if (const auto collect = AskToCollect(handle, host.prompts, *metrics)) {
    find->Collect(collect->folder, collect->formats, collect->link);
    StartUnasked();  // the collect replaces nothing: it refuses a folder that is not empty
  }
}

HWND PagePanel::ControlOf(Control::Kind kind) const {
  for (const Control& control : controls)
    if (control.kind == kind) return control.handle;
  return nullptr;
}

HWND PagePanel::SourceEdit() const {
  const int source = model->State().SourceField();
  for (const Control& control : controls)
    if (control.kind == Control::Kind::Edit && control.field == source && source >= 0)
      return control.handle;
  return nullptr;
}

void PagePanel::Offer(const std::string& project) {
  const int source = model->State().SourceField();
  if (source >= 0) model->State().SetText(source, project);
}

}  // namespace pexol::win32
