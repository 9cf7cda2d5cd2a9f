// tests/app/WindowTest.cpp - start state, option buttons, pages and keys of the window
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "FakePrompts.h"
#include "app/ExchangeDlg.h"

namespace pexol {

namespace {

const QStringList editIds = {"1016", "1018", "1020", "1025", "1023", "1074", "1077"};

template <class Control>
Control* Find(const CExchangeDlg& window, const char* id) {
  auto* control = window.findChild<Control*>(QString::fromLatin1(id));
  if (!control) qFatal("no control %s", id);
  return control;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    prompts = std::make_unique<FakePrompts>();
    window = std::make_unique<CExchangeDlg>(*prompts);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() {
    window.reset();
    prompts.reset();
  }

  void StartsOnTheFirstPageWithNothingChosen() {
    QCOMPARE(window->windowTitle(), QStringLiteral("pexol Version 2.12"));
    QCOMPARE(window->tabs->count(), 4);
    const QStringList titles = {"mpj to txt", "txt to mpj", "find", "about"};
    for (int i = 0; i < 4; ++i) QCOMPARE(window->tabs->tabText(i), titles[i]);
    QCOMPARE(window->currentPage, 0);
    QVERIFY(Find<QLineEdit>(*window, "1016")->isVisible());
    for (const char* hidden : {"1020", "1074", "1061"})
      QVERIFY(!Find<QWidget>(*window, hidden)->isVisible());

    for (const QString& id : editIds) {
      const QString expected = id == "1077" ? QStringLiteral("nul") : QString();
      QCOMPARE(window->findChild<QLineEdit*>(id)->text(), expected);
    }
    QCOMPARE(window->findReport, QStringLiteral("nul"));
    for (const QRadioButton* radio : window->findChildren<QRadioButton*>())
      QVERIFY2(!radio->isChecked(), qPrintable(radio->objectName()));
    QVERIFY(!Find<QCheckBox>(*window, "1046")->isChecked());
    QCOMPARE(window->csvOutput, 0);
    QCOMPARE(window->timecodeMode, 0);
    QCOMPARE(window->toTextSoftware + window->toProjectSoftware + window->findSoftware, 0);
    QVERIFY(window->maximumSize() == window->minimumSize());  // fixed size
  }

  void TimecodeButtonsSetTheirOwnValues_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("FRAME") << "1040" << 2;
    QTest::newRow("NTSC(non drop frame)") << "1017" << 3;
    QTest::newRow("PAL") << "1014" << 1;
    QTest::newRow("NTSC(drop frame)") << "1013" << 0;
  }
  void TimecodeButtonsSetTheirOwnValues() {
    QFETCH(QString, button);
    QFETCH(int, mode);
    if (mode == 0) QTest::mouseClick(window->findChild<QRadioButton*>("1040"), Qt::LeftButton);
    auto* radio = window->findChild<QRadioButton*>(button);
    QTest::mouseClick(radio, Qt::LeftButton);
    QCOMPARE(window->timecodeMode, mode);
    QVERIFY(radio->isChecked());
  }

  void SwitchingPagesKeepsEveryField() {
    const QStringList pageOfEdit = {"0", "0", "1", "1", "1", "2", "2"};
    for (qsizetype i = 0; i < editIds.size(); ++i) {
      window->tabs->setCurrentIndex(pageOfEdit[i].toInt());
      auto* edit = window->findChild<QLineEdit*>(editIds[i]);
      edit->clear();
      QTest::keyClicks(edit, "typed-" + editIds[i]);
    }
    window->tabs->setCurrentIndex(0);
    QTest::mouseClick(Find<QCheckBox>(*window, "1046"), Qt::LeftButton);
    for (int page : {3, 1, 2, 0, 3}) window->tabs->setCurrentIndex(page);

    QCOMPARE(window->currentPage, 3);
    for (const QString& id : editIds)
      QCOMPARE(window->findChild<QLineEdit*>(id)->text(), "typed-" + id);
    QCOMPARE(window->toTextSource, QStringLiteral("typed-1016"));
    QCOMPARE(window->findReport, QStringLiteral("typed-1077"));
    QCOMPARE(window->csvOutput, 1);
  }

  void SoftwareChoiceBelongsToItsPage() {
    QTest::mouseClick(Find<QRadioButton>(*window, "1042"), Qt::LeftButton);
    window->tabs->setCurrentIndex(2);
    QTest::mouseClick(Find<QRadioButton>(*window, "1072"), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(*window, "1071"), Qt::LeftButton);
    window->tabs->setCurrentIndex(1);

    QCOMPARE(window->toTextSoftware, 1);
    QCOMPARE(window->toProjectSoftware, 0);
    QCOMPARE(window->findSoftware, 0);
    QVERIFY(Find<QRadioButton>(*window, "1042")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, "1043")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, "1044")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "1071")->isChecked());
  }

  void EnterInAnEditKeepsTheWindowAndEscapeClosesIt() {
    auto* edit = Find<QLineEdit>(*window, "1016");
    edit->setFocus();
    QTest::keyClicks(edit, "half typed");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(window->isVisible());
    QVERIFY(prompts->messages.isEmpty());  // no run started either
    QCOMPARE(edit->text(), QStringLiteral("half typed"));
    auto* convert = Find<QWidget>(*window, "1011");  // a focused button takes Enter
    convert->setFocus();
    QTest::keyClick(convert, Qt::Key_Return);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(window->isVisible());

    QTest::keyClick(convert, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
  }

 private:
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<CExchangeDlg> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::WindowTest)
#include "WindowTest.moc"
