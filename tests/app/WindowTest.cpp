// tests/app/WindowTest.cpp - start state, option buttons, pages, keys and remembered settings
#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QTabWidget>
#include <QUrl>
#include <QtTest>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/Application.h"
#include "app/pages/ExportPage.h"

namespace pexol {

namespace {

// The path edits and their pages.
const QList<std::pair<int, int>> pathEdits = {
    {ids::toTextSource, 0},      {ids::toTextDestination, 0},    {ids::toProjectSource, 1},
    {ids::toProjectText, 1},     {ids::toProjectDestination, 1}, {ids::findSource, 2},
    {ids::findSearchFolder, 2},  {ids::findReport, 2},           {ids::exportSource, 3},
    {ids::exportDestination, 3}, {ids::renderSource, 4},         {ids::renderDestination, 4}};

QString Typed(int id) {
  return QStringLiteral("typed-%1").arg(id);
}

}  // namespace

class WindowTest : public FreshWindowTest {
  Q_OBJECT

 private slots:
  void init() {
    OpenFreshWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() { CloseWindow(); }

  void StartsOnTheFirstPageWithNothingChosen() {
    QCOMPARE(window->windowTitle(), QStringLiteral("pexol Version " PEXOL_VERSION));
    const QStringList titles = {"mpj to txt", "txt to mpj", "find", "export", "render", "about"};
    QCOMPARE(window->Tabs().count(), titles.size());
    for (int i = 0; i < titles.size(); ++i) QCOMPARE(window->Tabs().tabText(i), titles[i]);
    QCOMPARE(window->Tabs().currentIndex(), 0);
    QVERIFY(Find<QLineEdit>(*window, ids::toTextSource)->isVisible());
    for (int hidden : {ids::toProjectSource, ids::findSource, ids::exportSource, ids::aboutName})
      QVERIFY(!Find<QWidget>(*window, hidden)->isVisible());

    for (const auto& [id, page] : pathEdits) {
      // No report: the null device, by its name on this system.
      const QString expected = id == ids::findReport ? QStringLiteral("/dev/null") : QString();
      QCOMPARE(Find<QLineEdit>(*window, id)->text(), expected);
    }
    // The pages show their defaults: every timecode the command line's (drop frame); the
    // format from the name, each format's options their first value; NTSC, no render with media
    // missing, the project's own size.
    const QSet<QString> defaults = {
        QString::number(ids::toTextNtscDrop),
        QString::number(ids::exportFromExtension),
        QString::number(ids::exportNtscDrop),
        QString::number(ids::renderNtsc),
        QString::number(ids::renderMissingFail),
        QString::number(ids::renderSizeFirst),
        QString::number(pages::ExportPage::OptionButton("timecode-start", "00:00:00:00"))};
    for (const QRadioButton* radio : window->findChildren<QRadioButton*>()) {
      const bool shownDefault = defaults.contains(radio->objectName());
      QVERIFY2(radio->isChecked() == shownDefault, qPrintable(radio->objectName()));
    }
    for (const QCheckBox* box : window->findChildren<QCheckBox*>()) QVERIFY(!box->isChecked());
  }

  void SwitchingPagesKeepsEveryField() {
    TypeIntoEveryEdit();
    window->Tabs().setCurrentIndex(0);
    QTest::mouseClick(Find<QCheckBox>(*window, ids::toTextCsv), Qt::LeftButton);
    for (int page : {4, 1, 3, 2, 0, 4}) window->Tabs().setCurrentIndex(page);

    for (const auto& [id, page] : pathEdits)
      QCOMPARE(Find<QLineEdit>(*window, id)->text(), Typed(id));
    QVERIFY(Find<QCheckBox>(*window, ids::toTextCsv)->isChecked());
  }

  void SoftwareChoiceBelongsToItsPage() {
    QTest::mouseClick(Find<QRadioButton>(*window, ids::toTextLumetta), Qt::LeftButton);
    window->Tabs().setCurrentIndex(2);
    QTest::mouseClick(Find<QRadioButton>(*window, ids::findLumetta), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(*window, ids::findCorvane), Qt::LeftButton);
    window->Tabs().setCurrentIndex(1);

    QVERIFY(Find<QRadioButton>(*window, ids::toTextLumetta)->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, ids::toProjectCorvane)->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, ids::toProjectLumetta)->isChecked());
    QVERIFY(Find<QRadioButton>(*window, ids::findCorvane)->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, ids::findLumetta)->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, ids::exportCorvane)->isChecked());
    QVERIFY(!Find<QRadioButton>(*window, ids::exportLumetta)->isChecked());
  }

  void FieldsAndOptionsSurviveARestart() {
    TypeIntoEveryEdit();
    const QList<std::pair<int, int>> ticked = {{ids::toTextPal, 0},
                                               {ids::toTextCsv, 0},
                                               {ids::toTextUtf8, 0},
                                               {ids::toProjectLumetta, 1},
                                               {ids::toProjectUtf8, 1},
                                               {ids::findCorvane, 2},
                                               {pages::ExportPage::FormatButton("mlt"), 3},
                                               {ids::exportNtscNonDrop, 3}};
    for (const auto& [id, page] : ticked) {
      window->Tabs().setCurrentIndex(page);
      QTest::mouseClick(Find<QAbstractButton>(*window, id), Qt::LeftButton);
    }
    window->resize(window->size() + QSize(120, 40));
    window->move(window->pos() + QPoint(37, 23));
    const QSize size = window->size();
    const QPoint place = window->pos();

    window.reset();
    // The keys and values are those of earlier versions, so saved settings carry over; the
    // format is kept by its name (an earlier version's number is read once).
    const QSettings stored(QStringLiteral("pexol"), QStringLiteral("pexol"));
    QCOMPARE(stored.value("toText/timecode").toInt(), 1);
    QCOMPARE(stored.value("toText/software").toInt(), -1);
    QCOMPARE(stored.value("export/format").toString(), QStringLiteral("mlt"));
    QCOMPARE(stored.value("find/searchFolder").toString(), Typed(ids::findSearchFolder));
    QCOMPARE(stored.value("toProject/utf8").toBool(), true);

    window = std::make_unique<MainWindow>(*prompts);
    window->show();
    for (const auto& [id, page] : pathEdits)
      QCOMPARE(Find<QLineEdit>(*window, id)->text(), Typed(id));
    for (const auto& [id, page] : ticked)
      QVERIFY2(Find<QAbstractButton>(*window, id)->isChecked(), qPrintable(QString::number(id)));
    // Still automatic.
    for (int id : {ids::toTextCorvane, ids::toTextLumetta, ids::exportCorvane})
      QVERIFY(!Find<QAbstractButton>(*window, id)->isChecked());
    QCOMPARE(window->size(), size);
    QCOMPARE(window->pos(), place);
  }

  void DamagedSettingsLeaveTheStartState() {
    window.reset();
    QSettings stored(QStringLiteral("pexol"), QStringLiteral("pexol"));
    stored.setValue("toText/software", 7);
    stored.setValue("toText/timecode", "PAL");
    stored.setValue("export/format", -1);
    stored.sync();
    window = std::make_unique<MainWindow>(*prompts);
    for (int id : {ids::toTextCorvane, ids::toTextLumetta, ids::toTextPal})
      QVERIFY(!Find<QRadioButton>(*window, id)->isChecked());
    QVERIFY(Find<QRadioButton>(*window, ids::toTextNtscDrop)->isChecked());
    QVERIFY(Find<QRadioButton>(*window, ids::exportFromExtension)->isChecked());
  }

  void EnterInAnEditKeepsTheWindowAndEscapeClosesIt() {
    auto* edit = Find<QLineEdit>(*window, ids::toTextSource);
    edit->setFocus();
    QTest::keyClicks(edit, "half typed");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(window->isVisible());
    QVERIFY(!window->Running());
    QVERIFY(prompts->messages.isEmpty());  // no run started either
    QCOMPARE(edit->text(), QStringLiteral("half typed"));
    QSignalSpy ended(window.get(), &MainWindow::RunEnded);
    auto* convert = Find<QWidget>(*window, ids::toTextConvert);  // a focused button takes Enter
    convert->setFocus();
    QTest::keyClick(convert, Qt::Key_Return);
    QVERIFY(ended.wait(10000));
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(window->isVisible());

    QTest::keyClick(convert, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
  }

 private:
  void AProjectOpenedOrDroppedFillsEveryPagesSource() {
    const QList<int> sources = {ids::toTextSource, ids::toProjectSource, ids::findSource,
                                ids::exportSource, ids::renderSource};
    // `pexol FILE...` as a file manager starts it: the first project, absolute.
    QVERIFY(ProjectOfArguments({QStringLiteral("pexol")}).isEmpty());
    QCOMPARE(ProjectOfArguments({QStringLiteral("pexol"), QStringLiteral("--verbose"),
                                 QStringLiteral("/archive/運動会.mpj"), QStringLiteral("b.mpj")}),
             QStringLiteral("/archive/運動会.mpj"));
    QCOMPARE(ProjectOfArguments({QStringLiteral("pexol"), QStringLiteral("old/a.mpj")}),
             QDir::current().absoluteFilePath(QStringLiteral("old/a.mpj")));
    window->OpenProject(
        ProjectOfArguments({QStringLiteral("pexol"), QStringLiteral("/archive/運動会.mpj")}));
    for (const int id : sources)
      QCOMPARE(Find<QLineEdit>(*window, id)->text(), QStringLiteral("/archive/運動会.mpj"));
    QCOMPARE(window->Tabs().currentIndex(), 0);

    // Dropped from a file manager: the file's own path, and nothing for what is no file.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.mpj"))});
    QDropEvent away(QPointF(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &away);
    QCOMPARE(Find<QLineEdit>(*window, ids::exportSource)->text(),
             QStringLiteral("/archive/運動会.mpj"));
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/media/old/demo.mpj"))});
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &dropped);
    for (const int id : sources)
      QCOMPARE(Find<QLineEdit>(*window, id)->text(), QStringLiteral("/media/old/demo.mpj"));
  }

  void TypeIntoEveryEdit() {
    for (const auto& [id, page] : pathEdits) {
      window->Tabs().setCurrentIndex(page);
      auto* edit = Find<QLineEdit>(*window, id);
      edit->clear();
      QTest::keyClicks(edit, Typed(id));
    }
  }
};

}  // namespace pexol

QTEST_MAIN(pexol::WindowTest)
#include "WindowTest.moc"
