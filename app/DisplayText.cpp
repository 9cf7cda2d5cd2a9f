// app/DisplayText.cpp - file names the window takes, as the file system expects them
#include "app/DisplayText.h"

#include <QFile>

namespace pexol {

std::string EncodePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace pexol
