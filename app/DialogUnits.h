// app/DialogUnits.h - places controls by dialog units, the font-relative layout grid
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace pexol {

/// Pixels per dialog unit for a font: a horizontal unit is a quarter of the average width
/// of the Latin letters, a vertical unit an eighth of the line height.
struct DialogUnits {
  double horizontal = 1.0;
  double vertical = 1.0;

  /// The units of `font` as the screen renders it.
  static DialogUnits ForFont(const QFont& font);
  /// The pixel rectangle of a dialog-unit rectangle. Edges are rounded, not sizes, so
  /// controls that touch in dialog units touch in pixels and never overlap by rounding.
  QRect ToPixels(int x, int y, int width, int height) const;
};

/// Sets the geometry of `widget` from a rectangle in dialog units measured from the top
/// left of its window's client area, using the window's font; the parent must already be
/// placed.
void PlaceInDialogUnits(QWidget* widget, int x, int y, int width, int height);

/// The dialog font: the window's own face at 9 points, or an installed sans face that can
/// show Japanese names when that face is missing.
QFont DialogFont();

}  // namespace pexol
