// tests/app/PseudoLanguageTest.cpp - the window under the pseudo-language (en@pseudo), whose
// catalogue brackets every text: a text a person reads that is not bracketed came through no
// catalogue entry
#include <QDialogButtonBox>
#include <QtTest>

#include "FakePrompts.h"
#include "ShownTexts.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/CollectDialog.h"
#include "app/MediaFolders.h"
#include "core/Translation.h"

namespace pexol {

namespace {

/// Qt's own texts, which its catalogues translate: the standard buttons of a dialog.
QSet<QString> QtTexts() {
  QSet<QString> texts;
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Close |
                       QDialogButtonBox::Apply | QDialogButtonBox::Yes | QDialogButtonBox::No);
  for (const QAbstractButton* button : box.buttons()) texts << button->text();
  return texts;
}

}  // namespace

class PseudoLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    auto pseudo = FindCatalogue("en@pseudo", PEXOL_BUILD_DIR);
    QVERIFY2(pseudo, "no pseudo-language catalogue in the build tree");
    UseCatalogue(std::move(pseudo));
  }
  void cleanupTestCase() { UseCatalogue(std::nullopt); }
  void init() { settings.Clear(); }

  // Every page as it opens, the about page among them, and both dialogs: each label, button,
  // tooltip, placeholder, item, header, action, tab and title is the catalogue's, or a name.
  void EveryShownTextComesFromTheCatalogue() {
    QSet<QString> names = Names() + QtTexts();
    // The window's and the programs' own names, and the languages' names in themselves.
    names << QStringLiteral("pexol") << QStringLiteral("pexol-cli") << QStringLiteral("English")
          << QStringLiteral("FFmpeg") << QStringLiteral("MLT") << QStringLiteral("Qt");
    FakePrompts prompts;
    MainWindow window(prompts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    CollectDialog collect(&window, prompts);
    MediaFoldersDialog folders({}, prompts, &window);
    QStringList untranslated;
    const auto check = [&](const QWidget& root) {
      const QMap<QString, QString> texts = ShownTexts(root);
      for (auto text = texts.begin(); text != texts.end(); ++text)
        if (const QString left = WordsOutsideTheCatalogue(text.value(), names); !left.isEmpty())
          untranslated << text.key() + ": " + text.value() + "  [" + left + "]";
    };
    for (int page = 0; page < window.Tabs().count(); ++page) {
      window.Tabs().setCurrentIndex(page);
      QCoreApplication::processEvents();
      check(window);
    }
    check(collect);
    check(folders);
    untranslated.removeDuplicates();
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    // The pseudo-language is there: the tabs are its texts.
    QVERIFY(window.Tabs().tabText(0).startsWith(QString::fromUtf8("\u27e6")));
  }

 private:
  TestSettings settings;
};

}  // namespace pexol

QTEST_MAIN(pexol::PseudoLanguageTest)
#include "PseudoLanguageTest.moc"
