// app/DialogUnits.cpp - dialog-unit to pixel conversion and the dialog font
#include "app/DialogUnits.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QWidget>
#include <cmath>

namespace pexol {

namespace {

constexpr int dialogFontPoints = 9;

int RoundToPixel(double value) {
  return static_cast<int>(std::lround(value));
}

}  // namespace

DialogUnits DialogUnits::ForFont(const QFont& font) {
  // Measured on the real glyphs, so that a face without Latin letters is measured on the
  // face that draws them; the whole-pixel line height makes an 8-unit label one line high.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double averageWidth = QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
  return {averageWidth / 4.0, QFontMetrics(font).height() / 8.0};
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = RoundToPixel(x * horizontal);
  const int top = RoundToPixel(y * vertical);
  const int right = RoundToPixel((x + width) * horizontal);
  const int bottom = RoundToPixel((y + height) * vertical);
  return QRect(left, top, right - left, bottom - top);
}

void PlaceInDialogUnits(QWidget* widget, int x, int y, int width, int height) {
  QWidget* window = widget->window();
  const QRect inWindow = DialogUnits::ForFont(window->font()).ToPixels(x, y, width, height);
  if (widget == window) {
    widget->setFixedSize(inWindow.size());
    return;
  }
  const QPoint parentOrigin = widget->parentWidget()->mapTo(window, QPoint(0, 0));
  widget->setGeometry(inWindow.translated(-parentOrigin));
}

QFont DialogFont() {
  QFont font;
  // The window's own face first; the fallbacks carry the Japanese glyphs of project names,
  // and Qt takes Latin glyphs from a Latin face when a fallback has none.
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Droid Sans Fallback")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(dialogFontPoints);
  return font;
}

}  // namespace pexol
