// app/ShiftJis.cpp - Shift-JIS and UTF-8 decoding of message text for display
#include "app/ShiftJis.h"

#include <QFile>
#include <QStringDecoder>

namespace pexol {

namespace {

QString DecodeLine(QByteArrayView line) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(line);
  if (!utf8.hasError()) return text;

  // Without ICU there is no Shift-JIS decoder; the UTF-8 text then shows replacement
  // characters where the name's bytes are.
  QStringDecoder shiftJis("Shift_JIS", QStringDecoder::Flag::Stateless);
  if (!shiftJis.isValid()) return text;
  QString decoded = shiftJis.decode(line);
  // Some decoders mark an unmapped byte with the invisible SUB control; show it.
  if (shiftJis.hasError()) decoded.replace(QChar(0x1A), QChar::ReplacementCharacter);
  return decoded;
}

}  // namespace

QString DecodeForDisplay(std::string_view bytes) {
  QString text;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    text += DecodeLine(QByteArrayView(bytes.data() + start, static_cast<qsizetype>(end - start)));
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
