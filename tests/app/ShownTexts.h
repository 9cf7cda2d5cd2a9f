// tests/app/ShownTexts.h - every text a person reads in a window, the texts that are the same
// in every language, and what of a text came through no catalogue entry, for the tests that
// hold the window to a catalogue
#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMap>
#include <QSet>
#include <QTabWidget>
#include <QWidget>

#include "LayoutCheck.h"
#include "pages/SameInEveryLanguage.h"
#include "render/RenderChoices.h"
#include "support/PseudoLanguage.h"

namespace pexol {

/// Every text a person reads in `root` and its children, by the widget's place among them:
/// labels, buttons, group titles, tooltips, placeholders, tabs, window titles, combo boxes'
/// items, lists' and tables' headers, and the actions of menus and buttons.
inline QMap<QString, QString> ShownTexts(const QWidget& root) {
  QMap<QString, QString> texts;
  QList<const QWidget*> widgets = root.findChildren<const QWidget*>();
  widgets.prepend(&root);
  for (qsizetype i = 0; i < widgets.size(); ++i) {
    const QWidget* widget = widgets[i];
    const QString place = QStringLiteral("%1 %2 %3")
                              .arg(i)
                              .arg(widget->metaObject()->className(), widget->objectName());
    const auto keep = [&](const QString& what, const QString& text) {
      if (!text.isEmpty()) texts.insert(place + QLatin1Char(' ') + what, text);
    };
    keep(QStringLiteral("text"), TextOf(widget));
    keep(QStringLiteral("tip"), widget->toolTip());
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
      keep(QStringLiteral("placeholder"), edit->placeholderText());
    if (const auto* tabs = qobject_cast<const QTabWidget*>(widget))
      for (int tab = 0; tab < tabs->count(); ++tab)
        keep(QStringLiteral("tab %1").arg(tab), tabs->tabText(tab));
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
      for (int item = 0; item < combo->count(); ++item)
        keep(QStringLiteral("item %1").arg(item), combo->itemText(item));
    // A list shows no header; a table's and a tree's do.
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget);
        view && view->model() && !qobject_cast<const QListView*>(widget))
      for (int column = 0; column < view->model()->columnCount(); ++column)
        keep(QStringLiteral("header %1").arg(column),
             view->model()->headerData(column, Qt::Horizontal).toString());
    for (const QAction* action : widget->actions()) {
      keep(QStringLiteral("action ") + action->objectName(), action->text());
      if (action->toolTip() != action->text())
        keep(QStringLiteral("action tip ") + action->objectName(), action->toolTip());
    }
    if (widget->isWindow()) keep(QStringLiteral("title"), widget->windowTitle());
  }
  return texts;
}

/// Texts that are the same in every language: names, formats and signs.
inline QSet<QString> Names() {
  QSet<QString> names;
  for (const std::string& name : test::SameInEveryLanguage()) names << QString::fromStdString(name);
  // The render library's tables are its own to translate; the page only passes them through.
  for (const RenderRate& rate : RenderRates()) names << QString::fromUtf8(rate.label);
  for (const RenderSizeChoice& size : RenderSizes()) names << QString::fromUtf8(size.label);
  return names;
}

/// Under the pseudo-language, the words of `text` that came through no catalogue entry, past names,
/// paths, numbers, formats and option names; empty when it all came from the catalogue.
inline QString WordsOutsideTheCatalogue(const QString& text, const QSet<QString>& names) {
  std::set<std::string> kept;
  for (const QString& name : names) kept.insert(name.toStdString());
  return QString::fromStdString(test::WordsOutsideTheCatalogue(text.toStdString(), kept));
}

}  // namespace pexol
