// app/DisplayText.cpp - Shift-JIS and UTF-8 decoding of message text for display
#include "app/DisplayText.h"

#include <QFile>

#include "core/TextEncoding.h"

namespace pexol {

namespace {

QString FromUtf8(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

QString DecodeForDisplay(std::string_view bytes) {
  // The command line's decoding, so that a name reads the same in the window and on the
  // terminal.
  return FromUtf8(DisplayText(bytes));
}

std::string EncodePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace pexol
