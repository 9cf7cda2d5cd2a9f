// app/win32/PanelLayout.cpp - a page's controls placed at the window's DPI: rows of choices in
// columns, files with their buttons, the run's row, and the least width that shows them whole
#include <commctrl.h>

#include <algorithm>

#include "app/win32/PagePanel.h"

namespace pexol::win32 {

namespace {

int RadioWidth(const Metrics& metrics, std::wstring_view text) {
  return GetSystemMetricsForDpi(SM_CXMENUCHECK, metrics.Dpi()) + metrics.Scale(8) +
         metrics.LabelWidth(text);
}

int ButtonWidth(const Metrics& metrics, std::wstring_view text) {
  return std::max(metrics.Scale(75), metrics.LabelWidth(text) + metrics.Scale(24));
}

}  // namespace

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

}  // namespace pexol::win32
