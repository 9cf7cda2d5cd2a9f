// app/FileRequests.cpp - the page layer's file dialog requests in Qt's strings
#include "app/FileRequests.h"

namespace pexol {

namespace {

QString QtText(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

QString WithAllFiles(const QString& types) {
  return QtText(pages::WithAllFiles(types.toStdString()));
}

QString ProjectFilter() {
  return QtText(pages::ProjectFilter());
}

QString TextFilter() {
  return QtText(pages::TextFilter());
}

FileDialogRequest ToQt(const pages::FileRequest& request) {
  return {request.kind, QtText(request.defaultExtension), QtText(request.initialName),
          QtText(request.filter)};
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
