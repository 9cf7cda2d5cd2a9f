// app/FileRequests.cpp - the file dialog requests the pages share
#include "app/FileRequests.h"

namespace pexol {

namespace {

FileDialogRequest Request(FileDialogKind kind, const QString& extension, const QString& filter) {
  return {kind, extension, QStringLiteral("*.") + extension, filter};
}

}  // namespace

QString WithAllFiles(const QString& types) {
  return types + QStringLiteral(";;all(*.*)");
}

QString ProjectFilter() {
  return WithAllFiles(QStringLiteral("Corvane file (*.mpj)"));
}

QString TextFilter() {
  return WithAllFiles(QStringLiteral("Text file (*.txt)"));
}

FileDialogRequest OpenFile(const QString& extension, const QString& filter) {
  return Request(FileDialogKind::Open, extension, filter);
}

FileDialogRequest SaveFile(const QString& extension, const QString& filter) {
  return Request(FileDialogKind::SaveAs, extension, filter);
}

FileDialogRequest ChooseFolder() {
  return {FileDialogKind::Folder, {}, {}, {}};
}

}  // namespace pexol
