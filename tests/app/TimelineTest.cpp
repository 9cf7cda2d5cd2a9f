// tests/app/TimelineTest.cpp - the timeline under the pages, offscreen: the large project read
// fitted and at 1:1 in its middle, its ruler, zoom by wheel and keys, what the pointer finds,
// and a missing clip leading to the media folders
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>
#include <fstream>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "ShownTexts.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/MediaFolders.h"
#include "app/TimelineView.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {

namespace {

void WriteAll(const QString& path, std::string_view bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QImage Painted(QWidget& canvas) {
  QImage image(canvas.size(), QImage::Format_RGB32);
  canvas.render(&image);
  return image;
}

QRgb Rgb(std::uint32_t colour) {
  return 0xFF000000u | colour;
}

/// Two seconds of NTSC DV in an AVI, as the old editors' movies are, made by FFmpeg.
bool MakeDv(const QString& path) {
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"), {"-v",
                                          "error",
                                          "-y",
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "testsrc=size=720x480:rate=30000/1001",
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "sine=sample_rate=48000",
                                          "-t",
                                          "2",
                                          "-c:v",
                                          "dvvideo",
                                          "-pix_fmt",
                                          "yuv411p",
                                          "-c:a",
                                          "pcm_s16le",
                                          path});
  return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 && QFile::exists(path);
}

/// Runs `program` with `arguments`, with `environment` added; true when it exited with 0.
bool Runs(const QString& program, const QStringList& arguments,
          const QStringList& environment = {}) {
  QProcess process;
  QProcessEnvironment added = QProcessEnvironment::systemEnvironment();
  for (const QString& setting : environment)
    added.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
  process.setProcessEnvironment(added);
  process.start(program, arguments);
  return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

/// FFmpeg's picture of one flat colour: `seconds` of NTSC DV in an AVI, or a PNG still.
bool MakeFlat(const QString& path, const char* colour, bool still) {
  QStringList arguments = {"-v",
                           "error",
                           "-y",
                           "-f",
                           "lavfi",
                           "-i",
                           QStringLiteral("color=c=%1:size=720x480:rate=30000/1001").arg(colour)};
  if (still)
    arguments << QStringList{"-frames:v", "1", path};
  else
    arguments << QStringList{"-t", "2", "-c:v", "dvvideo", "-pix_fmt", "yuv411p", path};
  return Runs(QStringLiteral("ffmpeg"), arguments) && QFile::exists(path);
}

/// True when `pixel` is `rgb` within what DV's colour and the scaling change.
bool Near(QRgb pixel, std::uint32_t rgb) {
  const auto close = [](int a, int b) { return std::abs(a - b) <= 24; };
  return close(qRed(pixel), int(rgb >> 16 & 0xff)) && close(qGreen(pixel), int(rgb >> 8 & 0xff)) &&
         close(qBlue(pixel), int(rgb & 0xff));
}

QImage SvgRendered(const QString& path, double scale = 1) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  QImage image((QSizeF(renderer.defaultSize()) * scale).toSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.render(&painter);
  return image;
}

QString Describe(QRgb pixel) {
  return QStringLiteral("%1,%2,%3").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

}  // namespace

class TimelineTest : public FreshWindowTest {
  Q_OBJECT

 private:
  // What the timeline of a missing movie (and an insert) shows under `language`: the texts
  // drawn, the fit button's, its controls' texts and tips, and the hover over the movie.
  struct ShownInLanguage {
    QStringList texts;
    QStringList controls;
    QString fit;
    QString tip;
  };
  ShownInLanguage TimelineTextsIn(const char* language) {
    ShownInLanguage shown;
    auto catalogue = FindCatalogue(language, PEXOL_BUILD_DIR);
    if (!catalogue) return shown;
    UseCatalogue(std::move(catalogue));
    window = std::make_unique<MainWindow>(*prompts);
    window->show();
    build::Project shape;
    shape.main = {{"C:\\Video\\gone.avi", 0, 59, 0, "", 100, 100, {}}};
    shape.insert = {{"C:\\Video\\title.bmp", 10, 29, 0, "", 100, 100, {}}};
    WriteAll(Path("p.mpj"), build::BuildProject(shape));
    ShowProject(Path("p.mpj"));
    for (const pages::TimelineShape& drawn : window->Timeline().State().Shapes())
      if (const auto* text = std::get_if<pages::ShapeText>(&drawn))
        shown.texts << QString::fromStdString(text->text);
    shown.fit = Find<QToolButton>(ids::timelineFit)->text();
    const pages::TimelineState& state = window->Timeline().State();
    const QPoint clip(static_cast<int>(state.Metrics().labelWidth + state.Zoom().XOf(30)),
                      static_cast<int>(state.Metrics().TopOf(TimelineScene::mainRow) + 8));
    shown.tip = Hover(*window->Timeline().Canvas(), clip);
    for (const QWidget* control : window->Timeline().findChildren<QWidget*>())
      shown.controls << TextOf(control) << control->toolTip();
    UseCatalogue(std::nullopt);
    return shown;
  }

 private slots:
  void init() { OpenFreshWindow(QSize(1400, 800)); }
  void cleanup() { CloseWindow(); }

  // Fitted, the whole 2 h 49 min fills the width, every pixel of the main row a clip, the row
  // names in the window's font. At 1:1 (a pixel a frame: a clip of 2 s is 60 pixels, room for
  // its name's first characters) scrolled to the middle, each colour clip is as many pixels of
  // its colour as it has frames; the ruler's ticks stand under their timecodes; the line
  // under the pointer and its time follow the pointer; Ctrl and the wheel zoom around it, 0
  // fits again.
  void TheLargeProjectReadsFittedAndAtOneToOne() {
    WriteAll(Path("large.mpj"), build::BuildProject(build::LargeProject()));
    ShowProject(Path("large.mpj"));
    TimelineView& view = window->Timeline();
    QWidget& canvas = *view.Canvas();
    const pages::TimelineState& state = view.State();
    const TimelineScene& scene = *state.Scene();
    const pages::TimelineMetrics& metrics = state.Metrics();
    QCOMPARE(scene.end, 304440);
    QVERIFY(state.Zoom().Fitted());
    QVERIFY(!view.ScrollBar()->isEnabled());
    QImage image = Painted(canvas);
    QVERIFY(canvas.width() > 1300);
    const int rowsLeft = static_cast<int>(metrics.labelWidth);
    const int boxBottom =
        static_cast<int>(metrics.TopOf(TimelineScene::mainRow) + metrics.Row() - 4);
    int covered = 0;
    const int end = static_cast<int>(metrics.labelWidth + state.Zoom().XOf(304440));
    for (int x = rowsLeft; x < end; ++x)
      covered += image.pixel(x, boxBottom) != Rgb(scene_colours::row) ? 1 : 0;
    QVERIFY2(covered >= (end - rowsLeft) * 95 / 100,
             qPrintable(QStringLiteral("%1 of %2").arg(covered).arg(end - rowsLeft)));
    QVERIFY(end > canvas.width() - 30);
    // The row's name in the window's font: as tall as the font's letters.
    QImage reference(200, 100, QImage::Format_RGB32);
    reference.fill(Qt::white);
    {
      QPainter painter(&reference);
      painter.setFont(canvas.font());
      painter.drawText(QPointF(10, 60), QStringLiteral("main"));
    }
    const int top = static_cast<int>(metrics.TopOf(TimelineScene::mainRow));
    QCOMPARE(InkHeight(image, QRect(0, top, rowsLeft - 4, static_cast<int>(metrics.Row()))),
             InkHeight(reference, reference.rect()));

    QTest::mouseClick(Find<QToolButton>(ids::timelineOneToOne), Qt::LeftButton);
    QCOMPARE(state.Zoom().Zoom(), 1.0);
    QScrollBar& bar = *view.ScrollBar();
    QVERIFY(bar.isEnabled());
    bar.setValue(bar.maximum() / 2);
    const double shown = state.Zoom().RowsWidth() - pages::TimelineZoom::endRoom;
    QVERIFY(std::abs(state.Zoom().Left() - (304440 - shown) / 2) < 2);
    image = Painted(canvas);
    // Every clip a pixel a frame: its colour along its box's top, clear of its name and of
    // the transition's wedge, which rises to the box's top at its end.
    int colourClips = 0;
    const int boxTop = static_cast<int>(metrics.TopOf(TimelineScene::mainRow) + 4);
    for (const SceneClip& clip : scene.rows[TimelineScene::mainRow].clips) {
      const double x0 = metrics.labelWidth + state.Zoom().XOf(static_cast<double>(clip.recordIn));
      const double x1 = metrics.labelWidth + state.Zoom().XOf(static_cast<double>(clip.recordOut));
      if (clip.kind != ItemKind::Colour || x0 < metrics.labelWidth || x1 > canvas.width()) continue;
      ++colourClips;
      QCOMPARE(x1 - x0, static_cast<double>(clip.Length()));
      int filled = 0;
      for (int x = static_cast<int>(x0) + 1; x < static_cast<int>(x1) - 1; ++x)
        filled += image.pixel(x, boxTop) == Rgb(clip.fill) ? 1 : 0;
      QVERIFY2(filled >= 200, qPrintable(QString::number(filled)));
    }
    QVERIFY(colourClips >= 1);
    // The ruler: round timecodes of the middle, each over its tick.
    int labels = 0;
    for (const pages::TimelineShape& shape : state.Shapes()) {
      const auto* text = std::get_if<pages::ShapeText>(&shape);
      if (text == nullptr || text->middle > metrics.Ruler() || text->x - 2 < metrics.labelWidth)
        continue;
      ++labels;
      const double tick = text->x - 2;
      const auto frame =
          static_cast<std::int32_t>(std::lround(state.Zoom().FrameAt(tick - metrics.labelWidth)));
      QCOMPARE(QString::fromStdString(text->text),
               QString::fromStdString(FormatTimecode(TimecodeMode::NtscDrop, frame)));
      QVERIFY(text->text.starts_with("01:2"));
      QCOMPARE(image.pixel(static_cast<int>(tick), static_cast<int>(metrics.Ruler()) - 4),
               Rgb(scene_colours::ruler));
    }
    QVERIFY(labels >= 4);

    // The pointer's line and time.
    const QPoint pointer(500, boxBottom);
    MoveTo(canvas, pointer);
    const std::string time = pages::TimeAt(scene, state.Zoom(), metrics, 500);
    bool timeShown = false;
    for (const pages::TimelineShape& shape : state.Shapes())
      if (const auto* text = std::get_if<pages::ShapeText>(&shape))
        timeShown = timeShown || (text->text == time && text->x < metrics.labelWidth);
    QVERIFY2(timeShown, time.c_str());
    image = Painted(canvas);
    QCOMPARE(image.pixel(500, static_cast<int>(metrics.Ruler()) / 2), 0xFFD04A02u);

    const double frame = state.Zoom().FrameAt(500 - metrics.labelWidth);
    QWheelEvent wheel(QPointF(pointer), QPointF(canvas.mapToGlobal(pointer)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &wheel);
    QCOMPARE(state.Zoom().Zoom(), 2.0);
    QVERIFY(std::abs(state.Zoom().FrameAt(500 - metrics.labelWidth) - frame) < 0.01);
    QCOMPARE(bar.value(), state.Zoom().ScrollBar().value);
    QTest::keyClick(&canvas, Qt::Key_0);
    QVERIFY(state.Zoom().Fitted());
    QVERIFY(!bar.isEnabled());
  }

  // Over a found clip the window says what it is, where its file is, what the file is (read by
  // the media program, off the window's thread) and which editors open it; over a missing one,
  // that a click leads to the media folders, and the click opens them with the clip's Windows
  // folder: a local folder for it finds the clip, and the timeline shows it found.
  void TheClipUnderThePointerSaysWhatItIsAndAMissingOneLeadsToTheMediaFolders() {
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("day")));
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("local")));
    QVERIFY(MakeDv(Path("day/here.avi")));
    build::Project shape;
    shape.main = {{"day\\here.avi", 0, 59, 0, "", 100, 100, {}},
                  {"C:\\Video\\moved\\gone.avi", 0, 59, 0, "", 100, 100, {}}};
    WriteAll(Path("p.mpj"), build::BuildProject(shape));
    ShowProject(Path("p.mpj"));
    TimelineView& view = window->Timeline();
    QWidget& canvas = *view.Canvas();
    const pages::TimelineState& state = view.State();
    QTRY_VERIFY_WITH_TIMEOUT(!state.ReadingFacts(), 30000);
    const pages::TimelineMetrics& metrics = state.Metrics();
    const auto pointAt = [&](std::int64_t frame) {
      return QPoint(
          static_cast<int>(metrics.labelWidth + state.Zoom().XOf(static_cast<double>(frame) + 0.5)),
          static_cast<int>(metrics.TopOf(TimelineScene::mainRow) + 8));
    };

    QString tip = Hover(canvas, pointAt(30));
    QVERIFY2(tip.startsWith(QStringLiteral("day\\here.avi\nmovie on the main row\nrecord: "
                                           "00:00:00;00 to 00:00:02;00 (60 frames)\nsource: ")),
             qPrintable(tip));
    QVERIFY2(tip.contains(QStringLiteral("found: ") + Path("day/here.avi")), qPrintable(tip));
    QVERIFY2(tip.contains(QStringLiteral("\nfile: AVI")) && tip.contains(QStringLiteral("DV")),
             qPrintable(tip));
    QVERIFY2(
        tip.contains(QStringLiteral("\nopens in: ")) && tip.contains(QStringLiteral("Resolve")),
        qPrintable(tip));
    QCOMPARE(canvas.cursor().shape(), Qt::ArrowCursor);

    tip = Hover(canvas, pointAt(90));
    QVERIFY2(tip.startsWith(QStringLiteral("C:\\Video\\moved\\gone.avi\n")), qPrintable(tip));
    QVERIFY2(
        tip.endsWith(QStringLiteral("\nNot found. Click the clip to choose the media folders.")),
        qPrintable(tip));
    QCOMPARE(canvas.cursor().shape(), Qt::PointingHandCursor);
    // Crossed out in red over a pale, hatched box: what no colour clip, red or not, looks like.
    const QImage image = Painted(canvas);
    int red = 0;
    int pale = 0;
    const int y = static_cast<int>(metrics.TopOf(TimelineScene::mainRow) + metrics.Row() * 3 / 4);
    for (int x = pointAt(60).x() + 3; x < pointAt(119).x() - 3; ++x) {
      const QColor pixel = image.pixelColor(x, y);
      red += pixel.red() > 150 && pixel.green() < 80 ? 1 : 0;
      pale += pixel.red() > 230 && pixel.green() > 200 ? 1 : 0;
    }
    QVERIFY2(red >= 2 && pale > 10,
             qPrintable(QStringLiteral("%1 red, %2 pale").arg(red).arg(pale)));

    QTest::mouseClick(&canvas, Qt::LeftButton, {}, pointAt(90));
    auto* dialog = window->findChild<MediaFoldersDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowsFolder->text(), QStringLiteral("C:\\Video\\moved"));
    QVERIFY(QFile::copy(Path("day/here.avi"), Path("local/gone.avi")));
    dialog->localFolder->setText(Path("local"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(ids::mediaAddMap)),
                      Qt::LeftButton);
    dialog->accept();
    QCOMPARE(window->Media().maps, QStringList{"C:\\Video\\moved=" + Path("local")});
    QTRY_VERIFY_WITH_TIMEOUT(state.Scene()->MissingClips() == 0 && !state.ReadingFacts(), 30000);
    tip = Hover(canvas, pointAt(90));
    QVERIFY2(tip.contains(QStringLiteral("found: ") + Path("local/gone.avi")), qPrintable(tip));
    QVERIFY2(tip.contains(QStringLiteral("\nfile: AVI")), qPrintable(tip));
  }

  // In Japanese the timeline says everything in Japanese: its rows, its buttons, its clips.
  void TheTimelineSpeaksTheWindowsLanguage() {
    const ShownInLanguage shown = TimelineTextsIn("ja");
    for (const char* row : {"タイトル", "インサート", "メイン", "メインの音声", "追加オーディオ 1"})
      QVERIFY2(shown.texts.contains(QString::fromUtf8(row)),
               qPrintable(shown.texts.join(QLatin1Char('|'))));
    QVERIFY(shown.texts.contains(QStringLiteral("見つからない: gone.avi")));
    QCOMPARE(shown.fit, QStringLiteral("全体"));
    QVERIFY2(shown.tip.contains(QStringLiteral("素材が見つかりません")), qPrintable(shown.tip));
  }

  // Under the pseudo-language every text of the timeline is the catalogue's: its rows, its
  // buttons, its clips and what it says of the clip under the pointer.
  void TheTimelineSaysOnlyTheCataloguesTexts() {
    const ShownInLanguage shown = TimelineTextsIn("en@pseudo");
    const QSet<QString> names = {QStringLiteral("AVI"), QStringLiteral("gone"),
                                 QStringLiteral("title"), QStringLiteral("1:1")};
    QStringList left;
    for (const QString& text : shown.texts + shown.controls + QStringList{shown.tip})
      if (const QString words = WordsOutsideTheCatalogue(text, names); !words.isEmpty())
        left << text + "  [" + words + "]";
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    QVERIFY(shown.texts.size() > 6);
  }

  // A red movie on the main row and a blue still on the insert row show their colours inside
  // their boxes: in the window once the posters came, in the picture with --posters, in the
  // batch's picture and in the thumbnail. A second look takes them from the cache without
  // starting the media program; without media the picture is the one drawn without posters.
  void EachFoundClipShowsItsOwnPictureEverywhere() {
    const QString cache = Path("cache");
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("day")));
    QVERIFY(MakeFlat(Path("day/red.avi"), "0xff0000", false));
    QVERIFY(MakeFlat(Path("day/blue.png"), "0x0000ff", true));
    build::Project shape;
    shape.main = {{"day\\red.avi", 30, 89, 0, "", 100, 100, {}}};
    shape.insert = {{"day\\blue.png", 0, 59, 0, "", 100, 100, {}}};
    WriteAll(Path("p.mpj"), build::BuildProject(shape));

    ShowProject(Path("p.mpj"));
    TimelineView& view = window->Timeline();
    const pages::TimelineState& state = view.State();
    QTRY_VERIFY_WITH_TIMEOUT(!state.ReadingPosters(), 30000);
    QTRY_VERIFY(!state.Shapes().empty());
    const pages::TimelineMetrics& metrics = state.Metrics();
    const QImage painted = Painted(*view.Canvas());
    const auto boxPixel = [&](std::size_t row) {
      return painted.pixel(static_cast<int>(metrics.labelWidth + state.Zoom().XOf(0) + 8),
                           static_cast<int>(metrics.TopOf(row) + metrics.Row() / 2 + 4));
    };
    QVERIFY2(Near(boxPixel(TimelineScene::mainRow), 0xff0000),
             qPrintable(Describe(boxPixel(TimelineScene::mainRow))));
    QVERIFY2(Near(boxPixel(1), 0x0000ff), qPrintable(Describe(boxPixel(1))));
    QVERIFY(QDir(cache + "/pexol/posters").entryList(QDir::Files).size() == 2);

    // The picture's boxes: rows 36 pixels apart below a ruler of 28, the poster one pixel
    // inside a box's outline; the second run's media program fails, so the cache serves it.
    const QStringList run = {QStringLiteral("XDG_CACHE_HOME=") + cache};
    const QString cli = qEnvironmentVariable("PEXOL_CLI");
    for (const char* program : {"", "/bin/false"}) {
      QStringList environment = run;
      if (*program) environment << QStringLiteral("PEXOL_RENDER=%1").arg(program);
      QVERIFY(Runs(cli, {"picture", Path("p.mpj"), Path("p.svg"), "--posters"}, environment));
      const QImage svg = SvgRendered(Path("p.svg"));
      QVERIFY(!svg.isNull());
      QVERIFY2(Near(svg.pixel(118, 34 + 2 * 36 + 16), 0xff0000),
               qPrintable(Describe(svg.pixel(118, 34 + 2 * 36 + 16))));
      QVERIFY(Near(svg.pixel(118, 34 + 36 + 16), 0x0000ff));
    }
    QVERIFY(Runs(cli, {"picture", Path("p.mpj"), Path("plain.svg")}, run));
    QFile plain(Path("plain.svg"));
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QVERIFY(!plain.readAll().contains("<image"));

    // The batch's picture, from the cache too.
    QTemporaryDir out;
    QVERIFY(Runs(cli, {"batch", folder->path(), "--out", out.path()},
                 run + QStringList{"PEXOL_RENDER=/bin/false"}));
    const QImage batch = SvgRendered(out.filePath(QStringLiteral("p/p.svg")));
    QVERIFY(!batch.isNull());
    QVERIFY2(Near(batch.pixel(118, 34 + 2 * 36 + 16), 0xff0000),
             qPrintable(Describe(batch.pixel(118, 34 + 2 * 36 + 16))));

    // The thumbnail: the whole picture in 256 pixels, the posters a few pixels each.
    QVERIFY(Runs(QStringLiteral(PEXOL_THUMBNAILER), {"256", Path("p.mpj"), Path("p.png")},
                 run + QStringList{"PEXOL_RENDER=/bin/false"}));
    const QImage thumbnail(Path("p.png"));
    QVERIFY(!thumbnail.isNull());
    const double scale = thumbnail.width() / (360.0 + 130.0);
    const QRgb thumbnailRed = thumbnail.pixel(static_cast<int>(114 * scale),
                                              static_cast<int>((34 + 2 * 36 + 16) * scale));
    QVERIFY2(Near(thumbnailRed, 0xff0000), qPrintable(Describe(thumbnailRed)));
  }

 private:
  /// Names `project` on the export page and waits for its timeline and its media's facts.
  void ShowProject(const QString& project) {
    QSignalSpy shown(&window->Timeline(), &TimelineView::PictureShown);
    window->Tabs().setCurrentIndex(3);
    Find<QLineEdit>(ids::exportSource)->setText(project);
    QVERIFY(shown.wait(20000));
    window->Timeline().Wait();
    QVERIFY(window->Timeline().State().Scene());
    QCoreApplication::processEvents();
  }
  /// The tooltip over `point`, as the pointer resting there shows it.
  static QString Hover(QWidget& canvas, QPoint point) {
    MoveTo(canvas, point);
    QHelpEvent help(QEvent::ToolTip, point, canvas.mapToGlobal(point));
    QApplication::sendEvent(&canvas, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  }
  /// The pointer moved over `canvas` to `point`.
  static void MoveTo(QWidget& canvas, QPoint point) {
    QMouseEvent move(QEvent::MouseMove, QPointF(point), QPointF(canvas.mapToGlobal(point)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &move);
  }
  /// The height of the dark pixels in `area`.
  static int InkHeight(const QImage& image, const QRect& area) {
    int top = area.bottom() + 1;
    int bottom = area.top() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (qGray(image.pixel(x, y)) < 100) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return bottom - top + 1;
  }
  template <class Widget>
  Widget* Find(int id) {
    return pexol::Find<Widget>(*window, id);
  }
};

}  // namespace pexol

QTEST_MAIN(pexol::TimelineTest)
#include "TimelineTest.moc"
