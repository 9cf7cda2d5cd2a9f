// app/FileRequests.cpp - the page layer's file dialog requests in Qt's strings
#include "app/FileRequests.h"

namespace pexol {

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

QString WithAllFiles(const QString& types) {
  return FromUtf8(pages::WithAllFiles(types.toStdString()));
}

QString ProjectFilter() {
  return FromUtf8(pages::ProjectFilter());
}

QString TextFilter() {
  return FromUtf8(pages::TextFilter());
}

FileDialogRequest ToQt(const pages::FileRequest& request) {
  return {request.kind, FromUtf8(request.defaultExtension), FromUtf8(request.initialName),
          FromUtf8(request.filter)};
}

FileDialogRequest OpenFile(const QString& extension, const QString& filter) {
  return ToQt(pages::OpenFile(extension.toStdString(), filter.toStdString()));
}

FileDialogRequest SaveFile(const QString& extension, const QString& filter) {
  return ToQt(pages::SaveFile(extension.toStdString(), filter.toStdString()));
}

FileDialogRequest ChooseFolder() {
  return ToQt(pages::ChooseFolder());
}

}  // namespace pexol
