// tests/app/LayoutCheck.h - what a laid-out window must hold to: no control over another, no
// text cut, in any language and at any scale
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSizeGrip>
#include <QStringList>
#include <QStyleOption>
#include <QWidget>

#include "app/pages/ControlIds.h"

namespace pexol {

inline QRect InWindow(const QWidget* control) {
  return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

/// The room a control gives its text, in its own coordinates.
inline QRect TextRoom(const QWidget* control) {
  const auto* button = qobject_cast<const QAbstractButton*>(control);
  if (!button) return control->rect();
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QRadioButton*>(button)) element = QStyle::SE_RadioButtonContents;
  if (qobject_cast<const QCheckBox*>(button)) element = QStyle::SE_CheckBoxContents;
  return button->style()->subElementRect(element, &option, button).intersected(button->rect());
}

inline QString TextOf(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  return {};
}

/// Problems of the page now shown: overlapping controls and texts wider or taller than
/// their room. A group box may hold the controls that lie wholly inside it.
inline QStringList LayoutProblems(const QWidget& window) {
  QList<const QWidget*> controls;
  for (const QWidget* child : window.findChildren<QWidget*>()) {
    bool isId = false;
    child->objectName().toInt(&isId);
    if (isId && child->isVisible() && child->objectName() != QString::number(ids::tabs))
      controls.append(child);
  }
  QStringList problems;
  for (qsizetype i = 0; i < controls.size(); ++i) {
    for (qsizetype j = i + 1; j < controls.size(); ++j) {
      const QRect a = InWindow(controls[i]), b = InWindow(controls[j]);
      const bool nested = (qobject_cast<const QGroupBox*>(controls[i]) && a.contains(b)) ||
                          (qobject_cast<const QGroupBox*>(controls[j]) && b.contains(a));
      if (a.intersects(b) && !nested)
        problems << controls[i]->objectName() + " overlaps " + controls[j]->objectName();
    }
    const QString text = TextOf(controls[i]);
    if (text.isEmpty()) continue;
    const QRect room = TextRoom(controls[i]);
    const QFontMetrics metrics(controls[i]->font());
    const int width = metrics.horizontalAdvance(text);
    if (width > room.width() || metrics.height() > room.height())
      problems << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                      .arg(controls[i]->objectName(), text)
                      .arg(width)
                      .arg(metrics.height())
                      .arg(room.width())
                      .arg(room.height());
  }
  return problems;
}

/// Labels and buttons, with an id or not, narrower or lower than they ask to be, and visible
/// siblings over one another (the dialogs' controls have no ids).
inline QStringList FitProblems(const QWidget& window) {
  QStringList problems;
  const auto name = [](const QWidget* widget) {
    return QStringLiteral("%1 \"%2\"").arg(widget->objectName(), TextOf(widget));
  };
  QList<const QWidget*> all = window.findChildren<const QWidget*>();
  all.prepend(&window);
  for (const QWidget* widget : all) {
    if (!widget->isVisible()) continue;
    const bool texted =
        qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget);
    if (texted && !TextOf(widget).isEmpty() &&
        // A control sized on purpose (the "..." buttons) is held to its text's room alone.
        ((widget->width() < widget->sizeHint().width() &&
          widget->minimumWidth() != widget->maximumWidth()) ||
         widget->height() < widget->sizeHint().height()))
      problems << QStringLiteral("%1 is %2x%3 of %4x%5")
                      .arg(name(widget))
                      .arg(widget->width())
                      .arg(widget->height())
                      .arg(widget->sizeHint().width())
                      .arg(widget->sizeHint().height());
    QList<const QWidget*> children;
    for (const QObject* object : widget->children()) {
      const auto* child = qobject_cast<const QWidget*>(object);
      if (child && child->isVisible() && !child->isWindow() &&
          !qobject_cast<const QSizeGrip*>(child))
        children << child;
    }
    for (qsizetype i = 0; i < children.size(); ++i)
      for (qsizetype j = i + 1; j < children.size(); ++j) {
        const QRect a = children[i]->geometry(), b = children[j]->geometry();
        const bool nested = (qobject_cast<const QGroupBox*>(children[i]) && a.contains(b)) ||
                            (qobject_cast<const QGroupBox*>(children[j]) && b.contains(a));
        if (a.intersects(b) && !nested)
          problems << name(children[i]) + " overlaps " + name(children[j]);
      }
  }
  return problems;
}

}  // namespace pexol
