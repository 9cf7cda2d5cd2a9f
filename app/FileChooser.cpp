// app/FileChooser.cpp - the table of the window's file choosers
#include "app/FileChooser.h"

#include <array>

#include "app/ExchangeDlg.h"

namespace pexol {

namespace {

FileDialogRequest Request(FileDialogKind kind, const char* extension, bool project) {
  const QString ext = QString::fromLatin1(extension);
  return {kind, ext, QStringLiteral("*.") + ext,
          project ? QStringLiteral("Corvane file (*.mpj);;all(*.*)")
                  : QStringLiteral("Text file (*.txt);;all(*.*)")};
}

std::array<FileChooser, 7> MakeChoosers() {
  using enum FileDialogKind;
  return {{
      {1015, Request(Open, "mpj", true), &CExchangeDlg::toTextSource},
      {1019, Request(SaveAs, "txt", false), &CExchangeDlg::toTextDestination},
      {1022, Request(Open, "mpj", true), &CExchangeDlg::toProjectSource},
      {1026, Request(Open, "txt", false), &CExchangeDlg::toProjectText},
      {1024, Request(SaveAs, "mpj", true), &CExchangeDlg::toProjectDestination},
      {1075, Request(Open, "mpj", true), &CExchangeDlg::findSource},
      {1078, Request(SaveAs, "txt", false), &CExchangeDlg::findReport},
  }};
}

}  // namespace

std::span<const FileChooser> FileChoosers() {
  static const std::array<FileChooser, 7> choosers = MakeChoosers();
  return choosers;
}

}  // namespace pexol
