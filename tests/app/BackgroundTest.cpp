// tests/app/BackgroundTest.cpp - runs off the window's thread, Cancel, media folders

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/MediaFolders.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {

namespace {

QString Id(int id) {
  return QString::number(id);
}

void WriteAll(const QString& path, std::string_view bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A project whose one clip lies under a Windows folder that is `local` here.
std::string MovedProject() {
  build::Project shape;
  build::Clip clip;
  clip.name = "C:\\Video\\day\\a.avi";
  clip.out = 99;
  shape.main = {clip};
  return build::BuildProject(shape);
}

}  // namespace

class BackgroundTest : public FreshWindowTest {
  Q_OBJECT

 private slots:
  void init() { OpenFreshWindow(); }
  void cleanup() { CloseWindow(); }

  void ACancelledRunLeavesTheDestinationWhileTheWindowTurns() {
    ExportALargeProjectOverAnOldFile();
    prompts->replies << true;  // replace out.otio

    int turns = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
      if (++turns != 3) return;
      // The run is on its way and its page offers Cancel in place of the button.
      QVERIFY(window->Running());
      QVERIFY(Find<QPushButton>(ids::exportCancel)->isVisible());
      QVERIFY(!Find<QPushButton>(ids::exportRun)->isVisible());
      QVERIFY(!Find<QPushButton>(ids::toTextConvert)->isEnabled());
      QTest::mouseClick(Find<QPushButton>(ids::exportCancel), Qt::LeftButton);
    });
    ticker.start(1);
    QSignalSpy ended(window.get(), &MainWindow::RunEnded);
    QTest::mouseClick(Find<QPushButton>(ids::exportRun), Qt::LeftButton);
    QVERIFY(window->Running());  // the button returned while the run goes on
    QVERIFY(ended.wait(60000));
    ticker.stop();

    QVERIFY2(turns >= 3, "the event loop did not turn during the run");
    QVERIFY(!window->Running());
    QCOMPARE(ReadAll(Path("out.otio")), QByteArray("old"));
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY(Find<QPushButton>(ids::exportRun)->isVisible());
    QVERIFY(Find<QPushButton>(ids::toTextConvert)->isEnabled());
    QVERIFY(!Find<QPushButton>(ids::exportCancel)->isVisible());
  }

  void ClosingDuringARunAsksThenStopsIt() {
    ExportALargeProjectOverAnOldFile();
    prompts->replies << true << false;  // replace out.otio; then keep the run going
    QTest::mouseClick(Find<QPushButton>(ids::exportRun), Qt::LeftButton);
    QVERIFY(window->Running());

    window->close();
    QVERIFY(window->isVisible());
    QVERIFY(window->Running());
    prompts->replies << true;
    window->close();
    QVERIFY(!window->isVisible());
    QVERIFY(!window->Running());
    QCOMPARE(prompts->questions.size(), 3);
    QCOMPARE(prompts->questions.last(),
             QStringLiteral("A run is going on. Stop it and close the window?"));
    QVERIFY(prompts->messages.isEmpty());  // the user asked for the end already
    QCOMPARE(ReadAll(Path("out.otio")), QByteArray("old"));
  }

  void MediaFoldersReachTheCheckAndTheExport() {
    WriteAll(Path("moved.mpj"), MovedProject());
    QVERIFY(QDir(Path("local")).mkpath(QStringLiteral("day")));
    WriteAll(Path("local/day/a.avi"), "x");

    window->Tabs().setCurrentIndex(2);
    Find<QLineEdit>(ids::findSource)->setText(Path("moved.mpj"));
    ClickAndWait(*window, ids::findCheck);
    QVERIFY(prompts->messages.last().text.contains(QStringLiteral("\n1 file undetected")));

    // The rule is made in the dialog, its folder from the chooser.
    QTest::mouseClick(Find<QPushButton>(ids::findMediaFolders), Qt::LeftButton);
    auto* dialog = window->findChild<MediaFoldersDialog*>();
    QVERIFY(dialog);
    dialog->windowsFolder->setText(QStringLiteral("C:\\Video"));
    prompts->answers << Path("local");
    QTest::mouseClick(dialog->findChild<QPushButton*>(Id(ids::mediaChooseLocal)), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>(Id(ids::mediaAddMap)), Qt::LeftButton);
    dialog->accept();
    QCOMPARE(window->Media().maps, QStringList{"C:\\Video=" + Path("local")});

    ClickAndWait(*window, ids::findCheck);
    QVERIFY(prompts->messages.last().text.contains(QStringLiteral("\n0 file undetected")));

    window->Tabs().setCurrentIndex(3);
    Find<QLineEdit>(ids::exportSource)->setText(Path("moved.mpj"));
    Find<QLineEdit>(ids::exportDestination)->setText(Path("moved.otio"));
    ClickAndWait(*window, ids::exportRun);
    QVERIFY(ReadAll(Path("moved.otio")).contains(Path("local/day/a.avi").toUtf8()));
    QVERIFY(!prompts->messages.last().text.contains(QStringLiteral("not found")));

    // Remembered for the next start.
    window.reset();
    window = std::make_unique<MainWindow>(*prompts);
    QCOMPARE(window->Media().maps, QStringList{"C:\\Video=" + Path("local")});
  }

 private:
  // An export that runs long enough for a test to work the window while it goes on.
  void ExportALargeProjectOverAnOldFile() {
    const QString project = Path("large.mpj");
    WriteAll(project, build::BuildProject(build::LargeProject(8)));
    WriteAll(Path("out.otio"), "old");
    window->Tabs().setCurrentIndex(3);
    Find<QLineEdit>(ids::exportSource)->setText(project);
    Find<QLineEdit>(ids::exportDestination)->setText(Path("out.otio"));
  }
  template <class Widget>
  Widget* Find(int id) {
    return pexol::Find<Widget>(*window, id);
  }
};

}  // namespace pexol

QTEST_MAIN(pexol::BackgroundTest)
#include "BackgroundTest.moc"
