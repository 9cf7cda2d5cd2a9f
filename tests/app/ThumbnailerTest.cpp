// tests/app/ThumbnailerTest.cpp - the file managers' thumbnailer: a PNG of the size asked for a
// project, nothing (and a failure, at once) for bytes that are not one
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

namespace pexol {

namespace {

int Thumbnail(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(PEXOL_THUMBNAILER), arguments);
  if (!process.waitForFinished(20000)) return -1;
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace

class ThumbnailerTest : public QObject {
  Q_OBJECT

 private slots:
  void DrawsTheTimelineAtTheSizeAsked() {
    QTemporaryDir folder;
    for (const int size : {128, 256}) {
      const QString png = folder.filePath(QStringLiteral("demo-%1.png").arg(size));
      QCOMPARE(Thumbnail({QString::number(size),
                          QStringLiteral(PEXOL_SOURCE_DIR "/examples/demo.mpj"), png}),
               0);
      const QImage image(png);
      QVERIFY(!image.isNull());
      QCOMPARE(std::max(image.width(), image.height()), size);
      // A picture, not an empty page: the rows' grey and the clips' colours are in it.
      QSet<QRgb> colours;
      for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
      QVERIFY2(colours.size() > 8, "the thumbnail is nearly one colour");
    }
  }

  void GivesNoThumbnailForWhatIsNotAProject() {
    QTemporaryDir folder;
    const QString junk = folder.filePath(QStringLiteral("junk.mpj"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray bytes(4000, '\0');
    for (int i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) % 251);
    file.write(bytes);
    file.close();
    const QString png = folder.filePath(QStringLiteral("junk.png"));
    QVERIFY(Thumbnail({QStringLiteral("128"), junk, png}) > 0);
    QVERIFY(!QFile::exists(png));
    QVERIFY(Thumbnail({QStringLiteral("128"), folder.filePath(QStringLiteral("none.mpj")), png}) >
            0);
    QVERIFY(Thumbnail({QStringLiteral("0"), junk, png}) > 0);
    QVERIFY(folder.isValid() && QDir(folder.path()).entryList(QDir::Files).size() == 1);
  }
};

}  // namespace pexol

QTEST_GUILESS_MAIN(pexol::ThumbnailerTest)
#include "ThumbnailerTest.moc"
