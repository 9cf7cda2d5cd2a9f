// tests/app/ScreenshotsTest.cpp - a check of the documentation: the pictures of the window under
// docs/screenshots/ are the window as it is, drawn again by their own program with the fonts
// they were made with, every one matching pixel for pixel, so that a page that changes fails
// here until its pictures are made again
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace pexol {

namespace {

bool Draw(const QString& folder, const QStringList& language) {
  QProcess process;
  process.start(
      QStringLiteral(PEXOL_SCREENSHOTS),
      QStringList{folder, QStringLiteral(PEXOL_SOURCE_DIR "/examples/demo.mpj")} + language);
  return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

}  // namespace

class ScreenshotsTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryPictureShowsTheWindowAsItIs() {
    // Text is drawn by the fonts fontconfig picks; with others every picture would differ.
    QFile fonts(QStringLiteral(PEXOL_SOURCE_DIR "/docs/screenshots/fonts.txt"));
    QVERIFY2(fonts.open(QIODevice::ReadOnly), "docs/screenshots/fonts.txt names no fonts");
    const QByteArray drawnWith = fonts.readAll();
    QProcess match;
    match.start(QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("fc-match sans-serif && fc-match sans-serif:lang=ja")});
    QVERIFY(match.waitForFinished(30000));
    const QByteArray here = match.readAllStandardOutput();
    if (here != drawnWith)
      QSKIP(qPrintable(QStringLiteral("the pictures were drawn with other fonts (%1), not with "
                                      "this machine's (%2): they are checked where theirs are")
                           .arg(QString::fromUtf8(drawnWith).simplified(),
                                QString::fromUtf8(here).simplified())));
    QTemporaryDir drawn;
    QVERIFY(Draw(drawn.path(), {}));
    QVERIFY(Draw(drawn.path(), {QStringLiteral("ja")}));
    const QDir committed(QStringLiteral(PEXOL_SOURCE_DIR "/docs/screenshots"));
    const QStringList pictures =
        QDir(drawn.path()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    QVERIFY(pictures.size() >= 12);
    QStringList stale;
    for (const QString& name : pictures) {
      const QImage now(QDir(drawn.path()).filePath(name));
      const QImage before(committed.filePath(name));
      if (before.isNull() || now.convertToFormat(QImage::Format_ARGB32) !=
                                 before.convertToFormat(QImage::Format_ARGB32))
        stale << name;
    }
    if (!stale.isEmpty())
      QFAIL(qPrintable(QStringLiteral("docs/screenshots/ no longer shows the window as it is (%1): "
                                      "run `cmake --build build --target screenshots` and commit "
                                      "the pictures.")
                           .arg(stale.join(QStringLiteral(", ")))));
  }
};

}  // namespace pexol

QTEST_GUILESS_MAIN(pexol::ScreenshotsTest)
#include "ScreenshotsTest.moc"
