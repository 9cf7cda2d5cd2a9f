// tests/app/JapaneseTest.cpp - the window in Japanese: every text a person reads comes from the
// catalogue, and every page and dialog fits its texts at the scale the test runs at
// (QT_SCALE_FACTOR)
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTranslator>
#include <QtTest>
#include <filesystem>

#include "FakePrompts.h"
#include "LayoutCheck.h"
#include "ShownTexts.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/Application.h"
#include "app/CollectDialog.h"
#include "app/MediaFolders.h"
#include "core/Translation.h"

namespace pexol {

namespace {

/// The main window, the collect dialog and the media folders dialog, each as it opens.
QList<QMap<QString, QString>> EveryText() {
  FakePrompts prompts;
  MainWindow window(prompts);
  CollectDialog collect(&window, prompts);
  MediaFoldersDialog folders({}, prompts, &window);
  return {ShownTexts(window), ShownTexts(collect), ShownTexts(folders)};
}

}  // namespace

class JapaneseTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    english = EveryText();
    auto japanese = FindCatalogue("ja", PEXOL_BUILD_DIR);
    QVERIFY2(japanese, "no Japanese catalogue in the build tree");
    UseCatalogue(std::move(japanese));
    QVERIFY(UseQtTranslations(qtTexts, "ja"));
  }
  void cleanupTestCase() {
    UseCatalogue(std::nullopt);
    QCoreApplication::removeTranslator(&qtTexts);
  }
  void init() { settings.Clear(); }

  // Every label, button, title, tooltip and tab differs from its English but for names.
  void EveryTextComesFromTheCatalogue() {
    const QList<QMap<QString, QString>> japanese = EveryText();
    QCOMPARE(japanese.size(), english.size());
    const QSet<QString> names = Names();
    QStringList untranslated;
    for (qsizetype window = 0; window < japanese.size(); ++window) {
      QCOMPARE(japanese[window].keys(), english[window].keys());
      for (auto text = japanese[window].begin(); text != japanese[window].end(); ++text)
        if (text.value() == english[window].value(text.key()) && !names.contains(text.value()))
          untranslated << text.key() + ": " + text.value();
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    // The standard buttons come from Qt's own Japanese.
    FakePrompts prompts;
    MediaFoldersDialog folders({}, prompts, nullptr);
    QVERIFY(ShownTexts(folders).values().contains(QStringLiteral("キャンセル")));
  }

  void EveryPageFits() {
    FakePrompts prompts;
    MainWindow window(prompts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int page = 0; page < window.Tabs().count(); ++page) {
      window.Tabs().setCurrentIndex(page);
      // As it opens, and shrunk as far as the user can.
      for (const QSize size : {window.size(), window.minimumSizeHint()}) {
        window.resize(size);
        QCoreApplication::processEvents();
        const QStringList problems = LayoutProblems(window) + FitProblems(window);
        QVERIFY2(problems.isEmpty(), qPrintable(window.Tabs().tabText(page) + ":\n" +
                                                problems.join(QLatin1Char('\n'))));
      }
    }
  }

  void TheDialogsFit() {
    FakePrompts prompts;
    MainWindow window(prompts);
    CollectDialog collect(&window, prompts);
    MediaFoldersDialog folders({}, prompts, &window);
    for (QDialog* dialog : {static_cast<QDialog*>(&collect), static_cast<QDialog*>(&folders)}) {
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      for (const QSize size : {dialog->size(), dialog->minimumSizeHint()}) {
        dialog->resize(size);
        QCoreApplication::processEvents();
        const QStringList problems = FitProblems(*dialog);
        QVERIFY2(problems.isEmpty(),
                 qPrintable(dialog->windowTitle() + ":\n" + problems.join(QLatin1Char('\n'))));
      }
      // Kept for a look, as the layout test keeps the pages.
      const QString folder = QDir::current().filePath(QStringLiteral("screenshots"));
      QVERIFY(QDir().mkpath(folder));
      QVERIFY(dialog->grab().save(
          QStringLiteral("%1/dialog-%2-ja.png").arg(folder).arg(dialog == &collect ? 1 : 2)));
      dialog->hide();
    }
  }

 private:
  TestSettings settings;
  QList<QMap<QString, QString>> english;
  QTranslator qtTexts;
};

}  // namespace pexol

QTEST_MAIN(pexol::JapaneseTest)
#include "JapaneseTest.moc"
