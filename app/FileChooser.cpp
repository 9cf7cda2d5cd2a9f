// app/FileChooser.cpp - the table of the window's file choosers
#include "app/FileChooser.h"

#include <algorithm>
#include <array>

#include "app/ControlIds.h"
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
      {ids::toTextSourceChooser, ids::toTextSource, Request(Open, "mpj", projectFilter),
       &CExchangeDlg::toTextSource},
      {ids::toTextDestinationChooser, ids::toTextDestination, Request(SaveAs, "txt", textFilter),
       &CExchangeDlg::toTextDestination},
      {ids::toProjectSourceChooser, ids::toProjectSource, Request(Open, "mpj", projectFilter),
       &CExchangeDlg::toProjectSource},
      {ids::toProjectTextChooser, ids::toProjectText, Request(Open, "txt", textFilter),
       &CExchangeDlg::toProjectText},
      {ids::toProjectDestinationChooser, ids::toProjectDestination,
       Request(SaveAs, "mpj", projectFilter), &CExchangeDlg::toProjectDestination},
      {ids::findSourceChooser, ids::findSource, Request(Open, "mpj", projectFilter),
       &CExchangeDlg::findSource},
      {ids::findSearchFolderChooser, ids::findSearchFolder, FileDialogRequest{Folder, {}, {}, {}},
       &CExchangeDlg::findSearchFolder},
      {ids::findReportChooser, ids::findReport, Request(SaveAs, "txt", textFilter),
       &CExchangeDlg::findReport},
      {ids::exportSourceChooser, ids::exportSource, Request(Open, "mpj", projectFilter),
       &CExchangeDlg::exportSource},
      {ids::exportDestinationChooser, ids::exportDestination,
       Request(SaveAs, "otio", timelineFilter), &CExchangeDlg::exportDestination},
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
