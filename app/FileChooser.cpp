// app/FileChooser.cpp - the table of the window's file choosers
#include "app/FileChooser.h"

#include <algorithm>
#include <array>

#include "app/ExchangeDlg.h"

namespace pexol {

namespace {

const QString projectFilter = QStringLiteral("Corvane file (*.mpj);;all(*.*)");
const QString textFilter = QStringLiteral("Text file (*.txt);;all(*.*)");
const QString timelineFilter =
    QStringLiteral("OpenTimelineIO (*.otio);;CMX 3600 (*.edl);;MLT (Shotcut) (*.mlt);;all(*.*)");

FileDialogRequest Request(FileDialogKind kind, const char* extension, const QString& filter) {
  const QString ext = QString::fromLatin1(extension);
  return {kind, ext, QStringLiteral("*.") + ext, filter};
}

std::array<FileChooser, 10> MakeChoosers() {
  using enum FileDialogKind;
  return {{
      {1015, 1016, Request(Open, "mpj", projectFilter), &CExchangeDlg::toTextSource},
      {1019, 1018, Request(SaveAs, "txt", textFilter), &CExchangeDlg::toTextDestination},
      {1022, 1020, Request(Open, "mpj", projectFilter), &CExchangeDlg::toProjectSource},
      {1026, 1025, Request(Open, "txt", textFilter), &CExchangeDlg::toProjectText},
      {1024, 1023, Request(SaveAs, "mpj", projectFilter), &CExchangeDlg::toProjectDestination},
      {1075, 1074, Request(Open, "mpj", projectFilter), &CExchangeDlg::findSource},
      {1084, 1083, FileDialogRequest{Folder, {}, {}, {}}, &CExchangeDlg::findSearchFolder},
      {1078, 1077, Request(SaveAs, "txt", textFilter), &CExchangeDlg::findReport},
      {1104, 1103, Request(Open, "mpj", projectFilter), &CExchangeDlg::exportSource},
      {1107, 1106, Request(SaveAs, "otio", timelineFilter), &CExchangeDlg::exportDestination},
  }};
}

}  // namespace

std::span<const FileChooser> FileChoosers() {
  static const std::array<FileChooser, 10> choosers = MakeChoosers();
  return choosers;
}

const FileChooser* FindChooser(int buttonId) {
  const auto choosers = FileChoosers();
  const auto found = std::ranges::find(choosers, buttonId, &FileChooser::buttonId);
  return found == choosers.end() ? nullptr : &*found;
}

}  // namespace pexol
