// app/win32/PagePanel.cpp - a page's controls, their layout, their fields and the run
#include "app/win32/PagePanel.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "app/pages/ControlIds.h"
#include "app/pages/FindPage.h"
#include "app/pages/Language.h"
#include "app/pages/MediaFolders.h"
#include "app/win32/Dialogs.h"
#include "app/win32/Prompts.h"
#include "core/Translation.h"

namespace pexol::win32 {

namespace {

constexpr wchar_t panelClass[] = L"pexolPage";
constexpr UINT runMessage = WM_APP + 1;


int RadioWidth(const Metrics& metrics, std::wstring_view text) {
  return GetSystemMetricsForDpi(SM_CXMENUCHECK, metrics.Dpi()) + metrics.Scale(8) +
         metrics.LabelWidth(text);
}

int ButtonWidth(const Metrics& metrics, std::wstring_view text) {
  return std::max(metrics.Scale(75), metrics.LabelWidth(text) + metrics.Scale(24));
}

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
  RegisterWindowClass(panelClass, &PagePanel::Procedure);
}

PagePanel::PagePanel(HWND window, std::unique_ptr<pages::Page> page, PanelHost& host,
                     const Metrics& metrics)
    : model(std::move(page)), host(host), metrics(&metrics), run(*model, host.gate, *this) {
  handle = CreateWindowExW(WS_EX_CONTROLPARENT, panelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
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

void PagePanel::SetMetrics(const Metrics& now) {
  metrics = &now;
  for (const Control& control : controls)
    SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(now.Font()), TRUE);
}

int PagePanel::LayOut(int width, int height, bool place) {
  using Kind = Control::Kind;
  const Metrics& m = *metrics;
  const int margin = m.Margin();
  const int gap = m.Gap();
  const int line = m.LineHeight();
  const int row = m.ControlHeight();
  const int radioRow = line + m.Scale(6);
  const int inner = width - 2 * margin;
  const auto& parts = model->Parts();
  const int stretches =
      static_cast<int>(std::count_if(parts.begin(), parts.end(), [](const pages::FormPart& part) {
        return part.kind == pages::PartKind::Stretch;
      }));
  const int natural = place ? LayOut(width, height, false) : 0;
  const int extra = place && stretches > 0 ? std::max(0, height - natural) / stretches : 0;

  const auto move = [place](HWND control, int x, int y, int w, int h) {
    if (place) Place(control, x, y, w, h);
  };
  int y = margin;
  std::size_t next = 0;  // the first control of the part being placed
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const pages::FormPart& part = parts[p];
    std::vector<const Control*> own;
    for (; next < controls.size() && controls[next].part == p; ++next)
      own.push_back(&controls[next]);
    switch (part.kind) {
      case pages::PartKind::Choices: {
        const int columns = std::max(1, part.columns);
        int rows = (static_cast<int>(part.choices.size()) + columns - 1) / columns;
        // A check box that sits in this box takes the row after the buttons.
        for (std::size_t after = p + 1; after < parts.size() && parts[after].inBoxAbove; ++after)
          ++rows;
        const int top = y + line + m.Scale(2);
        const int columnWidth = (inner - 2 * gap) / columns;
        int index = 0;
        for (const Control* control : own) {
          if (control->kind == Kind::Box) {
            move(control->handle, margin, y, inner, line + rows * radioRow + m.Scale(10));
            continue;
          }
          move(control->handle, margin + gap + (index % columns) * columnWidth,
               top + (index / columns) * radioRow,
               std::min(columnWidth, RadioWidth(m, TextOf(control->handle))), radioRow);
          ++index;
        }
        // Check boxes of the box: placed by their own part, inside it.
        int inBox = static_cast<int>(part.choices.size() + columns - 1) / columns;
        std::size_t scan = next;
        for (std::size_t after = p + 1; after < parts.size() && parts[after].inBoxAbove; ++after)
          for (; scan < controls.size() && controls[scan].part == after; ++scan)
            move(controls[scan].handle, margin + gap, top + (inBox++) * radioRow,
                 std::min(inner - 2 * gap, RadioWidth(m, TextOf(controls[scan].handle))), radioRow);
        y += line + rows * radioRow + m.Scale(10) + gap;
        break;
      }
      case pages::PartKind::Check:
        if (part.inBoxAbove) break;
        for (const Control* control : own)
          move(control->handle, margin, y, std::min(inner, RadioWidth(m, TextOf(control->handle))),
               radioRow);
        y += radioRow + gap;
        break;
      case pages::PartKind::Stretch:
        y += extra;
        break;
      case pages::PartKind::File: {
        const int chooser = std::max(row, m.TextWidth(L"...") + m.Scale(16));
        move(own[0]->handle, margin, y, inner, line);
        y += line + m.Scale(3);
        move(own[1]->handle, margin, y, inner - chooser - m.Scale(4), row);
        move(own[2]->handle, margin + inner - chooser, y, chooser, row);
        y += row + gap;
        break;
      }
      case pages::PartKind::MediaFolders:
      case pages::PartKind::Action: {
        const int w = ButtonWidth(m, TextOf(own[0]->handle));
        move(own[0]->handle, margin + inner - w, y, w, row);
        y += row + gap;
        break;
      }
      case pages::PartKind::Run: {
        // The button (Cancel in its place while it runs) beside the bar over the status line.
        const int w = std::max(ButtonWidth(m, TextOf(own[0]->handle)),
                               ButtonWidth(m, TextOf(own[1]->handle)));
        const int high = row + line;
        move(own[0]->handle, margin, y, w, high);
        move(own[1]->handle, margin, y, w, high);
        move(own[2]->handle, margin + w + gap, y + m.Scale(2), inner - w - gap, row - m.Scale(6));
        move(own[3]->handle, margin + w + gap, y + row, inner - w - gap, line);
        y += high + gap;
        break;
      }
    }
  }
  return y - gap + margin;
}

int PagePanel::MinWidth() const {
  // The widest row of choices, each column as wide as its widest button; every other text
  // whole on its row.
  const Metrics& m = *metrics;
  const auto& parts = model->Parts();
  int widest = 0;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    if (parts[p].kind != pages::PartKind::Choices) continue;
    int column = 0;
    for (const Control& control : controls)
      if (control.part == p && control.kind == Control::Kind::Radio)
        column = std::max(column, RadioWidth(m, TextOf(control.handle)));
    widest = std::max(widest, std::max(1, parts[p].columns) * (column + m.Gap()) + 3 * m.Gap());
  }
  for (const Control& control : controls) {
    const std::wstring text = TextOf(control.handle);
    switch (control.kind) {
      case Control::Kind::Label:
        widest = std::max(widest, m.LabelWidth(text));
        break;
      case Control::Kind::Box:
        widest = std::max(widest, m.LabelWidth(text) + m.Scale(20));
        break;
      case Control::Kind::Check:
        widest = std::max(widest, RadioWidth(m, text) + 2 * m.Gap());
        break;
      case Control::Kind::MediaFolders:
      case Control::Kind::Action:
        widest = std::max(widest, ButtonWidth(m, text));
        break;
      case Control::Kind::Run:
      case Control::Kind::Cancel:
        // The bar and status line beside it keep some room.
        widest = std::max(widest, ButtonWidth(m, text) + m.Gap() + m.Scale(150));
        break;
      default:
        break;
    }
  }
  return widest + 2 * m.Margin();
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

void PagePanel::Start() {
  run.Start(host.media());
}

void PagePanel::StartUnasked() {
  run.StartUnasked(host.media());
}

HWND PagePanel::ControlOf(Control::Kind kind) const {
  for (const Control& control : controls)
    if (control.kind == kind) return control.handle;
  return nullptr;
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

AboutPanel::AboutPanel(HWND window, const Metrics& metrics, pages::SettingsStore& settings)
    : metrics(&metrics), settings(settings) {
  handle = CreateWindowExW(WS_EX_CONTROLPARENT, panelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                           0, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  icon = MakeControl(handle, WC_STATICW, L"", SS_ICON | SS_REALSIZECONTROL, ids::aboutPicture,
                     metrics);
  lines.push_back(
      MakeControl(handle, WC_STATICW, Wide(pages::aboutName), SS_LEFT, ids::aboutName, metrics));
  for (const pages::AboutLine& line : pages::AboutLines())
    lines.push_back(MakeControl(handle, WC_STATICW, Wide(line.text), SS_LEFT, line.id, metrics));
  std::wstring keys;
  languageLabel =
      MakeControl(handle, WC_STATICW, WithEnglishKey(Wide(pages::LanguageLabel()), L"language", keys),
                  SS_LEFT, ids::aboutLanguageLabel, metrics);
  languageList = MakeControl(handle, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                             ids::aboutLanguage, metrics);
  const std::string chosen = settings.Text(std::string(pages::languageKey)).value_or("");
  int selected = 0;
  int index = 0;
  for (const pages::LanguageChoice& choice : pages::LanguageChoices()) {
    // Each language by its own name; the system's entry in the language shown now.
    const std::wstring name = Wide(pages::ChoiceName(choice));
    SendMessageW(languageList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (!choice.code.empty() && choice.code == chosen) selected = index;
    ++index;
  }
  SendMessageW(languageList, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  languageNote = MakeControl(
      handle, WC_STATICW, Wide(pages::LanguageNote()), SS_LEFT, ids::aboutLanguageNote, metrics);
  SetPropW(handle, L"pexolAbout", this);
  SetMetrics(metrics);
}

AboutPanel::~AboutPanel() {
  RemovePropW(handle, L"pexolAbout");
}

void AboutPanel::Chosen() {
  const auto selected = SendMessageW(languageList, CB_GETCURSEL, 0, 0);
  const auto choices = pages::LanguageChoices();
  if (selected < 0 || static_cast<std::size_t>(selected) >= choices.size()) return;
  settings.SetText(std::string(pages::languageKey),
                   std::string(choices[static_cast<std::size_t>(selected)].code));
}

void AboutPanel::SetMetrics(const Metrics& now) {
  metrics = &now;
  // Two lines of text high, so the icon grows with the font like everything around it.
  const int side = 2 * now.LineHeight();
  auto* picture = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
  if (auto* old = reinterpret_cast<HICON>(
          SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0)))
    DestroyIcon(old);
  for (HWND line : lines)
    SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(now.Font()), TRUE);
  for (HWND control : {languageLabel, languageList, languageNote})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(now.Font()), TRUE);
}

int AboutPanel::MinWidth() const {
  const Metrics& m = *metrics;
  int widest = 2 * m.LineHeight() + m.Scale(8) + m.LabelWidth(TextOf(lines[0]));
  for (std::size_t l = 1; l < lines.size(); ++l)
    widest = std::max(widest, m.LabelWidth(TextOf(lines[l])));
  widest =
      std::max({widest, m.LabelWidth(TextOf(languageLabel)), m.LabelWidth(TextOf(languageNote))});
  return widest + 2 * m.Scale(30);
}

int AboutPanel::LayOut(int width, int, bool place) {
  const Metrics& m = *metrics;
  const int margin = m.Scale(30);
  const int line = m.LineHeight();
  const int side = 2 * line;
  if (place) {
    Place(icon, margin, margin, side, side);
    Place(lines[0], margin + side + m.Scale(8), margin + (side - line) / 2,
          width - 2 * margin - side, line);
  }
  int y = margin + side + line;
  for (std::size_t l = 1; l < lines.size(); ++l) {
    if (place) Place(lines[l], margin, y, width - 2 * margin, line);
    y += line + m.Scale(4);
  }
  // The language list under a blank line: its caption, the list as wide as its longest name,
  // and the note that the choice waits for the next start.
  y += line;
  if (place) Place(languageLabel, margin, y, width - 2 * margin, line);
  y += line + m.Scale(3);
  int list = 0;
  const auto count = SendMessageW(languageList, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring name(
        static_cast<std::size_t>(SendMessageW(languageList, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(languageList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    name.resize(wcslen(name.c_str()));
    list = std::max(list, m.TextWidth(name));
  }
  list += GetSystemMetricsForDpi(SM_CXVSCROLL, m.Dpi()) + m.Scale(16);
  const int row = m.ControlHeight();
  if (place) {
    // A drop-down list's height is that of its open list; the closed box is the font's.
    Place(languageList, margin, y, std::min(list, width - 2 * margin),
          row + static_cast<int>(count + 1) * line);
    SendMessageW(languageList, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), row - m.Scale(6));
  }
  y += row + m.Scale(4);
  if (place) Place(languageNote, margin, y, width - 2 * margin, line);
  y += line;
  return y + margin;
}

}  // namespace pexol::win32
