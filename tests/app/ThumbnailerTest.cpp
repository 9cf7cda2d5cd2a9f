// tests/app/ThumbnailerTest.cpp - the file managers' thumbnailer: a PNG of the size asked for a
// project, nothing (and a failure, at once, in the catalogue's words) for bytes that are not one
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "support/PseudoLanguage.h"

namespace pexol {

namespace {

// Its exit status; what it printed on its error output in `said`, when asked.
int Thumbnail(const QStringList& arguments, QString* said = nullptr,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(PEXOL_THUMBNAILER), arguments);
  if (!process.waitForFinished(20000)) return -1;
  if (said != nullptr) *said = QString::fromUtf8(process.readAllStandardError());
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

  // A person who runs it by hand reads each of its messages from the catalogue: under the
  // pseudo-language nothing is left outside its brackets but the program's name, the names
  // of its arguments and the paths.
  void SaysOnlyTheCataloguesTexts() {
    QTemporaryDir folder;
    QProcessEnvironment pseudo = QProcessEnvironment::systemEnvironment();
    pseudo.remove(QStringLiteral("LC_ALL"));
    pseudo.remove(QStringLiteral("LC_MESSAGES"));
    pseudo.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    pseudo.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en@pseudo"));
    const QString demo = QStringLiteral(PEXOL_SOURCE_DIR "/examples/demo.mpj");
    const QList<QStringList> runs = {
        {QStringLiteral("0"), demo, folder.filePath(QStringLiteral("a.png"))},
        {QStringLiteral("128"), folder.filePath(QStringLiteral("none.mpj")),
         folder.filePath(QStringLiteral("b.png"))},
        {QStringLiteral("128"), demo, folder.filePath(QStringLiteral("no/folder/c.png"))}};
    for (const QStringList& run : runs) {
      QString said;
      QVERIFY(Thumbnail(run, &said, pseudo) > 0);
      QVERIFY2(said.contains(QString::fromUtf8("\u27e6")), qPrintable(said));
      QString left = QString::fromStdString(test::OutsideTheCatalogue(said.toStdString()));
      left.remove(QStringLiteral("pexol-thumbnailer"));
      left.remove(QRegularExpression(QStringLiteral(R"([\w.~-]*/[\w./-]*|\b[A-Z]+\b|\d+)")));
      QVERIFY2(!left.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}"))),
               qPrintable(run.join(QLatin1Char(' ')) + ":\n" + said));
    }
  }
};

}  // namespace pexol

QTEST_GUILESS_MAIN(pexol::ThumbnailerTest)
#include "ThumbnailerTest.moc"
