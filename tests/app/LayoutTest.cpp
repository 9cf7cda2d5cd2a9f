// tests/app/LayoutTest.cpp - renders each page and checks that controls neither overlap nor clip
// text
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "WindowDriver.h"

namespace pexol {
namespace {

QRect InWindow(const QWidget* control) {
  return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

/// The room a control gives its text, in its own coordinates.
QRect TextRoom(const QWidget* control) {
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

QString TextOf(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  return {};
}

/// Problems of the page now shown: overlapping controls and texts wider or taller than
/// their room. A group box may hold the controls that lie wholly inside it.
QStringList LayoutProblems(const QWidget& window) {
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

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { settings.Clear(); }
  void cleanup() { QApplication::setFont(systemFont); }

  void EveryPageFitsAndRenders_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("points");  // the system font size; 0 leaves it as it is
    FakePrompts prompts;
    MainWindow window(prompts);
    for (int page = 0; page < window.Tabs().count(); ++page) {
      const QByteArray title = window.Tabs().tabText(page).toUtf8();
      QTest::addRow("%s", title.constData()) << page << 0;
      QTest::addRow("%s, 14 points", title.constData()) << page << 14;
    }
  }

  void EveryPageFitsAndRenders() {
    QFETCH(int, page);
    QFETCH(int, points);
    if (points > 0) {
      QFont large = systemFont;
      large.setPointSize(points);
      QApplication::setFont(large);
    }
    FakePrompts prompts;
    MainWindow window(prompts);
    window.show();
    window.Tabs().setCurrentIndex(page);
    QCOMPARE(window.font().pointSize(), QApplication::font().pointSize());

    // As it opens, and shrunk as far as the user can.
    for (const QSize size : {window.size(), window.minimumSizeHint()}) {
      window.resize(size);
      QCoreApplication::processEvents();
      const QStringList problems = LayoutProblems(window);
      QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n"))));
      QTabBar* bar = window.Tabs().tabBar();
      for (int tab = 0; tab < bar->count(); ++tab) QVERIFY(bar->rect().contains(bar->tabRect(tab)));
    }

    const QImage image = window.grab().toImage();
    QCOMPARE(image.size(), window.size());
    const QString folder = QDir::current().filePath(QStringLiteral("screenshots"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(image.save(QStringLiteral("%1/page-%2-%3.png").arg(folder).arg(page).arg(points)));
  }

  void PathFieldsGrowWithTheWindow() {
    FakePrompts prompts;
    MainWindow window(prompts);
    window.show();
    for (int page = 0; page < window.Tabs().count(); ++page) {
      window.Tabs().setCurrentIndex(page);
      window.resize(window.minimumSizeHint());
      QCoreApplication::processEvents();
      QList<QLineEdit*> paths;
      QList<int> widths;
      for (QLineEdit* edit : window.Tabs().currentWidget()->findChildren<QLineEdit*>()) {
        // The status line, a number box's own edit, and fields sized for a timecode.
        if (edit->isReadOnly() || qobject_cast<QAbstractSpinBox*>(edit->parent()) ||
            edit->maximumWidth() < QWIDGETSIZE_MAX)
          continue;
        paths << edit;
        widths << edit->width();
      }
      window.resize(window.width() + 200, window.height() + 100);
      QCoreApplication::processEvents();
      for (qsizetype i = 0; i < paths.size(); ++i)
        QVERIFY2(paths[i]->width() >= widths[i] + 150, qPrintable(paths[i]->objectName()));
      QVERIFY(LayoutProblems(window).isEmpty());
    }
  }

 private:
  TestSettings settings;
  const QFont systemFont = QApplication::font();
};

}  // namespace pexol

QTEST_MAIN(pexol::LayoutTest)
#include "LayoutTest.moc"
