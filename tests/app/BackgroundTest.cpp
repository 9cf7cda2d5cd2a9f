// tests/app/BackgroundTest.cpp - runs off the window's thread, Cancel, media folders, the picture

#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/MediaFolders.h"
#include "app/TimelineView.h"
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

class BackgroundTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings.Clear();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    prompts = std::make_unique<FakePrompts>();
    window = std::make_unique<MainWindow>(*prompts);
    window->show();
  }
  void cleanup() {
    window.reset();
    prompts.reset();
  }

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

  // The picture's text is in the window's font, however much the picture is scaled.
  void ThePictureWritesInTheWindowsFont() {
    WriteAll(Path("moved.mpj"), MovedProject());
    window->Tabs().setCurrentIndex(3);
    QSignalSpy shown((&window->Timeline()), &TimelineView::PictureShown);
    Find<QLineEdit>(ids::exportSource)->setText(Path("moved.mpj"));
    QVERIFY(shown.wait(5000));
    TimelineView& view = window->Timeline();
    QWidget* canvas = view.widget();
    // The height of the dark pixels in `area`.
    const auto inkHeight = [](const QImage& image, const QRect& area) {
      int top = area.bottom() + 1;
      int bottom = area.top() - 1;
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
          if (qGray(image.pixel(x, y)) < 100) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
          }
      return bottom - top + 1;
    };
    QImage reference(200, 100, QImage::Format_RGB32);
    reference.fill(Qt::white);
    {
      QPainter painter(&reference);
      painter.setFont(canvas->font());
      painter.setPen(Qt::black);
      painter.drawText(QPointF(10, 60), QStringLiteral("main"));
    }
    const int expected = inkHeight(reference, reference.rect());
    QVERIFY(expected > 3);
    for (const bool fitted : {true, false}) {
      view.SetFitted(fitted);
      const QSizeF size = view.Renderer().viewBoxF().size();
      const double sx = canvas->width() / size.width();
      const double sy = canvas->height() / size.height();
      QImage image(canvas->size(), QImage::Format_RGB32);
      canvas->render(&image);
      // The name of the main row, left of its boxes: 30 units high from 106 down.
      const QRect name(0, static_cast<int>(106 * sy), static_cast<int>(108 * sx),
                       static_cast<int>(30 * sy));
      QVERIFY2(std::abs(inkHeight(image, name) - expected) <= 1,
               qPrintable(QStringLiteral("%1 pixels high at %2 pixels a unit, %3 in the font")
                              .arg(inkHeight(image, name))
                              .arg(sy)
                              .arg(expected)));
    }
  }

  void ThePictureMarksAMissingFileWithItsLine() {
    WriteAll(Path("moved.mpj"), MovedProject());
    window->Tabs().setCurrentIndex(3);
    QSignalSpy shown((&window->Timeline()), &TimelineView::PictureShown);
    Find<QLineEdit>(ids::exportSource)->setText(Path("moved.mpj"));
    QVERIFY(shown.wait(5000));
    QVERIFY(window->Timeline().isVisible());
    const QRectF box = window->Timeline().BoundsOf(QStringLiteral("main-0"));
    QVERIFY(!box.isEmpty());
    const QString line = window->Timeline().LineAt(box.center());
    QVERIFY2(line.contains(QStringLiteral("a.avi")) && line.contains(QStringLiteral("missing")),
             qPrintable(line));

    QWidget* canvas = window->Timeline().widget();
    QImage image(canvas->size(), QImage::Format_RGB32);
    canvas->render(&image);
    // Crossed out in red over a pale, hatched box: what no colour clip, red or not, looks like.
    int red = 0;
    int pale = 0;
    const int y = static_cast<int>(box.center().y() + box.height() / 4);
    for (int x = static_cast<int>(box.left()) + 3; x < static_cast<int>(box.right()) - 3; ++x) {
      const QColor pixel = image.pixelColor(x, y);
      red += pixel.red() > 150 && pixel.green() < 80 ? 1 : 0;
      pale += pixel.red() > 230 && pixel.green() > 200 ? 1 : 0;
    }
    QVERIFY2(red >= 2 && pale > 10,
             qPrintable(QStringLiteral("%1 red, %2 pale").arg(red).arg(pale)));
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
  QString Path(const QString& name) const { return folder->filePath(name); }
  template <class Widget>
  Widget* Find(int id) {
    return pexol::Find<Widget>(*window, id);
  }

  TestSettings settings;
  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<MainWindow> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::BackgroundTest)
#include "BackgroundTest.moc"
