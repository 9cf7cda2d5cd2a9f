// tests/app/WindowTest.cpp - start state, option buttons, pages, keys and remembered settings
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "app/ExchangeDlg.h"

namespace pexol {

namespace {

// The path edits, page by page.
const QStringList editIds = {"1016", "1018", "1020", "1025", "1023",
                             "1074", "1083", "1077", "1103", "1106"};
const QList<int> pageOfEdit = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3};

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
    settings.Clear();
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
    QCOMPARE(window->windowTitle(), QStringLiteral("pexol Version " PEXOL_VERSION));
    const QStringList titles = {"mpj to txt", "txt to mpj", "find", "export", "about"};
    QCOMPARE(window->tabs->count(), titles.size());
    for (int i = 0; i < titles.size(); ++i) QCOMPARE(window->tabs->tabText(i), titles[i]);
    QCOMPARE(window->currentPage, 0);
    QVERIFY(Find<QLineEdit>(*window, "1016")->isVisible());
    for (const char* hidden : {"1020", "1074", "1103", "1061"})
      QVERIFY(!Find<QWidget>(*window, hidden)->isVisible());

    for (const QString& id : editIds) {
      const QString expected = id == "1077" ? QStringLiteral("nul") : QString();
      QCOMPARE(window->findChild<QLineEdit*>(id)->text(), expected);
    }
    QCOMPARE(window->findReport, QStringLiteral("nul"));
    // Only the export page shows its defaults: the format from the name, drop frame.
    for (const QRadioButton* radio : window->findChildren<QRadioButton*>()) {
      const bool shownDefault = radio->objectName() == "1094" || radio->objectName() == "1099";
      QVERIFY2(radio->isChecked() == shownDefault, qPrintable(radio->objectName()));
    }
    for (const char* box : {"1046", "1085", "1086"})
      QVERIFY(!Find<QCheckBox>(*window, box)->isChecked());
    QCOMPARE(window->csvOutput + window->toTextUtf8 + window->toProjectUtf8, 0);
    QCOMPARE(window->timecodeMode, 0);
    for (int software : {window->toTextSoftware, window->toProjectSoftware, window->findSoftware,
                         window->exportSoftware})
      QCOMPARE(software, CExchangeDlg::automaticSoftware);
    QCOMPARE(window->exportFormat, 0);
    QCOMPARE(window->exportTimecode, 0);
  }

  void ExportPageSitsBetweenFindAndAbout() {
    window->tabs->setCurrentIndex(3);
    QCOMPARE(window->tabs->tabText(3), QStringLiteral("export"));
    QWidget* page = window->tabs->currentWidget();
    const auto onPage = [page](const char* id) {
      auto* control = page->findChild<QWidget*>(QString::fromLatin1(id));
      return control && control->isVisible();
    };
    const QList<std::pair<const char*, const char*>> texts = {
        {"1090", "software"},        {"1091", "Corvane, Brisko"},     {"1092", "Lumetta"},
        {"1093", "format"},          {"1094", "from the file name"},  {"1095", "OpenTimelineIO"},
        {"1096", "CMX 3600"},        {"1097", "MLT (Shotcut)"},       {"1098", "timecode"},
        {"1099", "NTSC drop frame"}, {"1100", "NTSC non-drop frame"}, {"1101", "PAL"},
        {"1108", "export"}};
    for (const auto& [id, text] : texts) {
      QVERIFY(onPage(id));
      auto* box = qobject_cast<QGroupBox*>(Find<QWidget>(*window, id));
      QCOMPARE(box ? box->title() : Find<QAbstractButton>(*window, id)->text(),
               QString::fromLatin1(text));
    }
    for (const char* id : {"1103", "1104", "1106", "1107", "1109", "1110"}) QVERIFY(onPage(id));
    QCOMPARE(window->exportProgress, Find<QProgressBar>(*window, "1109"));

    // Each group keeps its own value; the ids are the enumerations' values.
    QTest::mouseClick(Find<QRadioButton>(*window, "1096"), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(*window, "1101"), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(*window, "1092"), Qt::LeftButton);
    QCOMPARE(window->exportFormat, 2);    // CMX 3600
    QCOMPARE(window->exportTimecode, 1);  // PAL
    QCOMPARE(window->exportSoftware, 1);  // Lumetta
    QCOMPARE(window->toTextSoftware, CExchangeDlg::automaticSoftware);
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
    TypeIntoEveryEdit(*window);
    window->tabs->setCurrentIndex(0);
    QTest::mouseClick(Find<QCheckBox>(*window, "1046"), Qt::LeftButton);
    for (int page : {4, 1, 3, 2, 0, 4}) window->tabs->setCurrentIndex(page);

    QCOMPARE(window->currentPage, 4);
    for (const QString& id : editIds)
      QCOMPARE(window->findChild<QLineEdit*>(id)->text(), "typed-" + id);
    QCOMPARE(window->toTextSource, QStringLiteral("typed-1016"));
    QCOMPARE(window->findReport, QStringLiteral("typed-1077"));
    QCOMPARE(window->findSearchFolder, QStringLiteral("typed-1083"));
    QCOMPARE(window->exportDestination, QStringLiteral("typed-1106"));
    QCOMPARE(window->csvOutput, 1);
  }

  void SoftwareChoiceBelongsToItsPage() {
    QTest::mouseClick(Find<QRadioButton>(*window, "1042"), Qt::LeftButton);
    window->tabs->setCurrentIndex(2);
    QTest::mouseClick(Find<QRadioButton>(*window, "1072"), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(*window, "1071"), Qt::LeftButton);
    window->tabs->setCurrentIndex(1);

    QCOMPARE(window->toTextSoftware, 1);
    QCOMPARE(window->toProjectSoftware, CExchangeDlg::automaticSoftware);
    QCOMPARE(window->findSoftware, 0);
    QCOMPARE(window->exportSoftware, CExchangeDlg::automaticSoftware);
    QVERIFY(Find<QRadioButton>(*window, "1042")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, "1043")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, "1044")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "1071")->isChecked());
  }

  void FieldsAndOptionsSurviveARestart() {
    TypeIntoEveryEdit(*window);
    window->tabs->setCurrentIndex(0);
    for (const char* id : {"1014", "1046", "1085"})  // PAL, CSV, UTF-8
      QTest::mouseClick(Find<QAbstractButton>(*window, id), Qt::LeftButton);
    window->tabs->setCurrentIndex(1);
    for (const char* id : {"1044", "1086"})  // Lumetta, UTF-8
      QTest::mouseClick(Find<QAbstractButton>(*window, id), Qt::LeftButton);
    window->tabs->setCurrentIndex(2);
    QTest::mouseClick(Find<QAbstractButton>(*window, "1071"), Qt::LeftButton);  // Corvane
    window->tabs->setCurrentIndex(3);
    for (const char* id : {"1097", "1100"})  // MLT, non-drop frame
      QTest::mouseClick(Find<QAbstractButton>(*window, id), Qt::LeftButton);
    window->resize(window->size() + QSize(120, 40));
    const QSize size = window->size();

    window.reset();
    window = std::make_unique<CExchangeDlg>(*prompts);
    window->show();

    for (const QString& id : editIds)
      QCOMPARE(window->findChild<QLineEdit*>(id)->text(), "typed-" + id);
    QCOMPARE(window->findSearchFolder, QStringLiteral("typed-1083"));
    for (const char* ticked : {"1014", "1046", "1085", "1044", "1086", "1071", "1097", "1100"})
      QVERIFY2(Find<QAbstractButton>(*window, ticked)->isChecked(), ticked);
    QVERIFY(!Find<QAbstractButton>(*window, "1041")->isChecked());  // still automatic
    QVERIFY(!Find<QAbstractButton>(*window, "1091")->isChecked());
    QCOMPARE(window->timecodeMode, 1);
    QCOMPARE(window->csvOutput + window->toTextUtf8 + window->toProjectUtf8, 3);
    QCOMPARE(window->toTextSoftware, CExchangeDlg::automaticSoftware);
    QCOMPARE(window->toProjectSoftware, 1);
    QCOMPARE(window->findSoftware, 0);
    QCOMPARE(window->exportSoftware, CExchangeDlg::automaticSoftware);
    QCOMPARE(window->exportFormat, 3);
    QCOMPARE(window->exportTimecode, 3);
    QCOMPARE(window->size(), size);
  }

  void DamagedSettingsLeaveTheStartState() {
    window.reset();
    QSettings stored(QStringLiteral("pexol"), QStringLiteral("pexol"));
    stored.setValue("toText/software", 7);
    stored.setValue("toText/timecode", "PAL");
    stored.setValue("export/format", -1);
    stored.sync();
    window = std::make_unique<CExchangeDlg>(*prompts);
    QCOMPARE(window->toTextSoftware, CExchangeDlg::automaticSoftware);
    QCOMPARE(window->timecodeMode, 0);
    QCOMPARE(window->exportFormat, 0);
    QVERIFY(Find<QRadioButton>(*window, "1094")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, "1013")->isChecked());
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
  static void TypeIntoEveryEdit(CExchangeDlg& window) {
    for (qsizetype i = 0; i < editIds.size(); ++i) {
      window.tabs->setCurrentIndex(pageOfEdit[i]);
      auto* edit = window.findChild<QLineEdit*>(editIds[i]);
      edit->clear();
      QTest::keyClicks(edit, "typed-" + editIds[i]);
    }
  }

  TestSettings settings;
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<CExchangeDlg> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::WindowTest)
#include "WindowTest.moc"
