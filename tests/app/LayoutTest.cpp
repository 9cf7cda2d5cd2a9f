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
#include "LayoutCheck.h"
#include "TestSettings.h"
#include "WindowDriver.h"

namespace pexol {

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
      const QStringList problems = LayoutProblems(window) + FitProblems(window);
      QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n"))));
      QTabBar* bar = window.Tabs().tabBar();
      for (int tab = 0; tab < bar->count(); ++tab) QVERIFY(bar->rect().contains(bar->tabRect(tab)));
    }

    const QImage image = window.grab().toImage();
    QCOMPARE(image.size(), window.size() * window.devicePixelRatio());
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
