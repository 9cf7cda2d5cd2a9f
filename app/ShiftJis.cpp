// app/ShiftJis.cpp - Shift-JIS and UTF-8 decoding of message text for display
#include "app/ShiftJis.h"

#include <QFile>
#include <stdexcept>

#include "core/TextEncoding.h"

namespace pexol {

namespace {

QString FromUtf8(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString DecodeLine(std::string_view line) {
  if (IsValidUtf8(line)) return FromUtf8(line);
  // The command line's decoder, so that a name reads the same in the window and on the
  // terminal.
  try {
    return FromUtf8(DecodeShiftJis(line).utf8);
  } catch (const std::runtime_error&) {
    // Without the system's converter the name still shows, its bytes as replacement
    // characters.
    return FromUtf8(line);
  }
}

}  // namespace

QString DecodeForDisplay(std::string_view bytes) {
  QString text;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    text += DecodeLine(bytes.substr(start, end - start));
    if (end == bytes.size()) break;
    text += QLatin1Char('\n');
    start = end + 1;
  }
  return text;
}

std::string EncodePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace pexol
