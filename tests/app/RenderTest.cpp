// tests/app/RenderTest.cpp - the render page's runs and their processes, settings that outlive a
// killed window, and the pages that agree with each other
#include <signal.h>

#include <tuple>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <iostream>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/MediaFolders.h"
#include "app/TimelineView.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {

namespace {

constexpr const char* childSettings = "PEXOL_TEST_CHILD_SETTINGS";

void WriteAll(const QString& path, std::string_view bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A mono 16-bit 48 kHz WAV file of a 440 Hz tone.
void WriteTone(const QString& path, double seconds) {
  const auto samples = static_cast<quint32>(48000 * seconds);
  QByteArray wav;
  const auto add32 = [&wav](quint32 value) {
    value = qToLittleEndian(value);
    wav.append(reinterpret_cast<const char*>(&value), 4);
  };
  const auto add16 = [&wav](quint16 value) {
    value = qToLittleEndian(value);
    wav.append(reinterpret_cast<const char*>(&value), 2);
  };
  wav.append("RIFF");
  add32(36 + samples * 2);
  wav.append("WAVEfmt ");
  add32(16);
  add16(1);
  add16(1);
  add32(48000);
  add32(96000);
  add16(2);
  add16(16);
  wav.append("data");
  add32(samples * 2);
  for (quint32 i = 0; i < samples; ++i)
    add16(static_cast<quint16>(static_cast<qint16>(8000 * std::sin(i * 2 * M_PI * 440 / 48000))));
  WriteAll(path, std::string_view(wav.constData(), static_cast<std::size_t>(wav.size())));
}

/// The libraries this process mapped that a render would bring: MLT and its Qt 5 module.
QStringList RenderLibrariesMapped() {
  QStringList found;
  const QStringList lines =
      QString::fromUtf8(ReadAll(QStringLiteral("/proc/self/maps"))).split('\n');
  for (const QString& line : lines)
    if ((line.contains(QStringLiteral("libmlt")) || line.contains(QStringLiteral("/mlt-7/")) ||
         line.contains(QStringLiteral("libQt5"))) &&
        !found.contains(line.section(' ', -1)))
      found << line.section(' ', -1);
  return found;
}

/// The processes this one started that are still there (reaped or not).
QStringList ChildProcesses() {
  QStringList children;
  const QString self = QString::number(QCoreApplication::applicationPid());
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    const QByteArray stat = ReadAll(QStringLiteral("/proc/%1/stat").arg(pid));
    // pid (name) state ppid ...: the name may hold spaces, so the fields count from its end.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 1 && fields[1] == self.toLatin1()) children << pid + " " + stat;
  }
  return children;
}

/// The settings test's window process: changes settings, says so, and waits to be killed.
int RunChildWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     qEnvironmentVariable(childSettings));
  FakePrompts prompts;
  MainWindow window(prompts);
  window.show();
  window.Tabs().setCurrentIndex(4);
  Find<QSpinBox>(window, ids::renderQuality)->setValue(33);
  Find<QRadioButton>(window, ids::renderPal)->click();
  QTest::keyClicks(Find<QLineEdit>(window, ids::renderFrom), QStringLiteral("00:00:01:00"));
  QTest::mouseClick(Find<QPushButton>(window, ids::renderMediaFolders), Qt::LeftButton);
  auto* dialog = window.findChild<MediaFoldersDialog*>();
  dialog->maps->addItem(QStringLiteral("C:\\Video=/media/video"));
  dialog->accept();
  window.move(41, 29);
  window.resize(window.size() + QSize(50, 30));
  QTest::qWait(1000);  // the place is written once moving pauses
  std::cout << "changed " << window.width() << " " << window.height() << std::endl;
  return app.exec();  // until SIGKILL
}

}  // namespace

class RenderTest : public FreshWindowTest {
  Q_OBJECT

 private slots:
  void init() { OpenFreshWindow(); }
  void cleanup() { CloseWindow(); }

  // As the user met the crash: a still and a sound found through "media folders...", ten
  // renders in a row, whole and in part. The window stays alive, MLT stays out of it and no
  // process of the render is left.
  void TenRendersRunInTheirOwnProcesses() {
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("media/day")));
    QImage square(32, 24, QImage::Format_RGB32);
    square.fill(Qt::green);
    QVERIFY(square.save(Path("media/day/square.png")));
    WriteTone(Path("media/day/tone.wav"), 1.2);
    build::Project shape;
    shape.main = {{"C:\\Shoot\\square.png", 0, 24, 0, "still", 0, 0, {}}};
    shape.exAudio1 = {{"C:\\Shoot\\tone.wav", 0, 24, 0, 100, 100, {}}};
    WriteAll(Path("still.mpj"), build::BuildProject(shape));
    AddSearchFolder(Path("media"));

    window->Tabs().setCurrentIndex(4);
    Type(ids::renderSource, Path("still.mpj"));
    Click(ids::renderPal);
    for (int run = 0; run < 10; ++run) {
      const bool part = run % 2 == 1;
      const QString destination =
          Path(QStringLiteral("out%1.%2").arg(run).arg(part ? "mkv" : "mp4"));
      Type(ids::renderDestination, destination);
      Type(ids::renderFrom, part ? QStringLiteral("5") : QString());
      Type(ids::renderTo, part ? QStringLiteral("00:00:00:15") : QString());
      Click(ids::renderRun);
      const FakePrompts::Message& message = prompts->messages.last();
      QVERIFY2(message.text.startsWith("render completed") && message.icon == MessageIcon::None,
               qPrintable(message.text));
      QCOMPARE(ChildProcesses(), QStringList());
      QVERIFY2(message.text.contains(part ? "(10 frames)" : "(25 frames)"),
               qPrintable(message.text));
      QVERIFY(ReadAll(destination).size() > 1000);
      QVERIFY(window->isVisible() && !window->Running());
      QCOMPARE(RenderLibrariesMapped(), QStringList());
    }
    QCOMPARE(prompts->messages.size(), 10);
  }

  // Missing media, as the render program found them: the message names the window's buttons
  // and choices, not options.
  void MissingMediaAreExplainedInTheWindowsWords() {
    build::Project shape;
    shape.main = {{"C:\\Shoot\\gone.avi", 0, 24, 0, "", 100, 100, {}}};
    WriteAll(Path("gone.mpj"), build::BuildProject(shape));
    window->Tabs().setCurrentIndex(4);
    Type(ids::renderSource, Path("gone.mpj"));
    Type(ids::renderDestination, Path("gone.mp4"));
    Click(ids::renderRun);
    const QString text = prompts->messages.last().text;
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY2(text.contains("gone.avi") && text.contains("\"media folders...\"") &&
                 text.contains("\"render black and silence in their place\""),
             qPrintable(text));
    QVERIFY2(!text.contains("--") && !text.contains("pexol-cli"), qPrintable(text));
    QVERIFY(!QFile::exists(Path("gone.mp4")));
  }

  // Cancel and closing the window stop every process of the render within a second, however
  // the window was started: a window started from a script with "&" has SIGINT ignored, which
  // its children must not take over. The partial files go, the old destination stays, no
  // process is left.
  void CancelAndCloseStopEveryProcessAndKeepTheDestination_data() {
    QTest::addColumn<bool>("ignoringInterrupts");
    QTest::newRow("started from a terminal") << false;
    QTest::newRow("started with SIGINT ignored") << true;
  }
  void CancelAndCloseStopEveryProcessAndKeepTheDestination() {
    QFETCH(bool, ignoringInterrupts);
    struct sigaction ignore {
    }, before{};
    ignore.sa_handler = SIG_IGN;
    if (ignoringInterrupts) ::sigaction(SIGINT, &ignore, &before);
    const auto restore = qScopeGuard([&] {
      if (ignoringInterrupts) ::sigaction(SIGINT, &before, nullptr);
    });
    build::Project shape;
    shape.main = {{build::ColorClipName(0, 1, 0, "FF0000", "", "", ""), 0, 19999, 0, "", 0, 0, {}}};
    WriteAll(Path("long.mpj"), build::BuildProject(shape));
    WriteAll(Path("out.mp4"), "old");
    window->Tabs().setCurrentIndex(4);
    Type(ids::renderSource, Path("long.mpj"));
    Type(ids::renderDestination, Path("out.mp4"));
    Click(ids::renderMissingBlack);

    QSignalSpy ended(window.get(), &MainWindow::RunEnded);
    prompts->replies << true;  // replace out.mp4
    StartAndWaitForFrames();
    QElapsedTimer stopping;
    stopping.start();
    QTest::mouseClick(Find<QPushButton>(*window, ids::renderCancel), Qt::LeftButton);
    QVERIFY(ended.wait(30000));
    QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
    QVERIFY2(prompts->messages.last().text.startsWith("render stopped"),
             qPrintable(prompts->messages.last().text));
    ExpectOnlyTheOldDestination();

    prompts->replies << true;  // replace out.mp4
    StartAndWaitForFrames();
    prompts->replies << true;  // stop the run and close
    stopping.start();
    window->close();
    QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
    QCOMPARE(prompts->questions.last(), "A run is going on. Stop it and close the window?");
    QVERIFY(!window->Running());
    ExpectOnlyTheOldDestination();
  }

  // A render program that crashes or ends without a result, mid-line, is a failed run that
  // says how it ended and what it printed.
  void ACrashedChildIsAFailedRunNamingHowItEnded_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::newRow("crash") << "kill -SEGV $$"
                           << "signal 11";
    QTest::newRow("exit") << "exit 3"
                          << "exit status 3";
  }
  void ACrashedChildIsAFailedRunNamingHowItEnded() {
    QFETCH(QString, script);
    QFETCH(QString, expected);
    const QString program = Path("fake-render");
    WriteAll(program, ("#!/bin/sh\n"
                       "echo '{\"type\":\"progress\",\"percent\":10,\"done\":3,\"total\":30,"
                       "\"unit\":\"frames\"}' >&2\n"
                       "echo 'the engine broke' >&2\n"
                       "printf '{\"type\":\"result\",\"status\":\"comp' >&2\n" +
                       script + "\n")
                          .toStdString());
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray real = qgetenv("PEXOL_RENDER");
    qputenv("PEXOL_RENDER", program.toUtf8());
    WriteAll(Path("p.mpj"), build::BuildProject(build::DemoProject()));
    window->Tabs().setCurrentIndex(4);
    Type(ids::renderSource, Path("p.mpj"));
    Type(ids::renderDestination, Path("p.mp4"));
    Click(ids::renderRun);
    qputenv("PEXOL_RENDER", real);
    const QString text = prompts->messages.last().text;
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY2(text.startsWith("Can not render") && text.contains(expected) &&
                 text.contains("the engine broke") &&
                 text.contains("{\"type\":\"result\",\"status\":\"comp"),
             qPrintable(text));
    QVERIFY(!window->Running());
    QVERIFY(!QFile::exists(Path("p.mp4")));
    QCOMPARE(ChildProcesses(), QStringList());
  }

  // Each setting is written as it changes, the window's place once it pauses: a window killed
  // outright keeps them.
  void SettingsOutliveAKilledWindow() {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(childSettings, settings.Folder());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += child.readAllStandardOutput()).contains("changed") ||
                                 child.state() == QProcess::NotRunning,
                             20000);
    QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());

    window = std::make_unique<MainWindow>(*prompts);
    window->show();
    QCOMPARE(window->pos(), QPoint(41, 29));
    const QList<QByteArray> size = said.trimmed().split(' ');
    QCOMPARE(window->size(), QSize(size.value(1).toInt(), size.value(2).toInt()));
    QCOMPARE(Find<QSpinBox>(*window, ids::renderQuality)->value(), 33);
    QVERIFY(Find<QRadioButton>(*window, ids::renderPal)->isChecked());
    QCOMPARE(Find<QLineEdit>(*window, ids::renderFrom)->text(), "00:00:01:00");
    QCOMPARE(window->Media().maps, QStringList{"C:\\Video=/media/video"});
  }

  // The picture under the find page looks in the page's own search folder, as its check does;
  // so do the other pages.
  void ThePictureFindsMediaAsTheFindPageDoes() {
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("found/deep")));
    WriteAll(Path("found/deep/a.avi"), "x");
    WriteAll(Path("found/deep/b.avi"), "x");
    build::Project shape;
    shape.main = {{"C:\\Shoot\\a.avi", 0, 49, 0, "", 100, 100, {}},
                  {"C:\\Shoot\\b.avi", 0, 49, 0, "", 100, 100, {}}};
    WriteAll(Path("moved.mpj"), build::BuildProject(shape));
    window->Tabs().setCurrentIndex(2);
    Type(ids::findSource, Path("moved.mpj"));
    Type(ids::findSearchFolder, Path("found"));
    Click(ids::findCheck);
    QVERIFY2(prompts->messages.last().text.contains("\n0 file undetected"),
             qPrintable(prompts->messages.last().text));
    TimelineView& picture = window->Timeline();
    QTRY_VERIFY_WITH_TIMEOUT(Clips(picture) == 4 && NoneMissing(picture), 10000);
    // Every page looks there: the export finds them, and so does its picture.
    window->Tabs().setCurrentIndex(3);
    Type(ids::exportSource, Path("moved.mpj"));
    Type(ids::exportDestination, Path("moved.otio"));
    Click(ids::exportRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    QVERIFY2(!prompts->messages.last().text.contains("not found"),
             qPrintable(prompts->messages.last().text));
    QTRY_VERIFY_WITH_TIMEOUT(Clips(picture) == 4 && NoneMissing(picture), 10000);
    window->Tabs().setCurrentIndex(2);
    // Without the folder the picture marks them.
    Type(ids::findSearchFolder, QString());
    QTRY_VERIFY_WITH_TIMEOUT(Clips(picture) == 4 && !NoneMissing(picture), 10000);
  }

  // A project named on one page is offered to the pages that have none, not to the others.
  void AProjectNamedOnOnePageIsOfferedToTheOthers() {
    WriteAll(Path("demo.mpj"), build::BuildProject(build::DemoProject()));
    window->Tabs().setCurrentIndex(3);
    Type(ids::exportSource, Path("other.mpj"));  // not a file: the page keeps it, no one gets it
    window->Tabs().setCurrentIndex(0);
    Type(ids::toTextSource, Path("demo.mpj"));
    window->Tabs().setCurrentIndex(4);
    QCOMPARE(Find<QLineEdit>(*window, ids::renderSource)->text(), Path("demo.mpj"));
    window->Tabs().setCurrentIndex(3);
    QCOMPARE(Find<QLineEdit>(*window, ids::exportSource)->text(), Path("other.mpj"));
  }

  // "pexol --help" and "--version" answer on standard output without opening the window, the
  // help in the system's language.
  void HelpAndVersionPrintInsteadOfOpeningTheWindow() {
    for (const auto& [argument, language, start] :
         {std::tuple{"--help", "C", "Usage: pexol"}, std::tuple{"--version", "C", "pexol "},
          std::tuple{"--help", "ja_JP.UTF-8", "使い方: pexol"}}) {
      QProcess program;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
      environment.remove(QStringLiteral("DISPLAY"));  // a window could not open anyway
      for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QLatin1String(variable));
      environment.insert(QStringLiteral("LANG"), QLatin1String(language));
      program.setProcessEnvironment(environment);
      program.start(QStringLiteral(PEXOL_WINDOW), {QString::fromLatin1(argument)});
      QVERIFY(program.waitForFinished(10000));
      QCOMPARE(program.exitStatus(), QProcess::NormalExit);
      QCOMPARE(program.exitCode(), 0);
      QVERIFY2(program.readAllStandardOutput().startsWith(start), start);
    }
  }

 private:
  void Type(int id, const QString& text) {
    auto* edit = Find<QLineEdit>(*window, id);
    QVERIFY(edit->isVisible());
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Click(int id) { ClickAndWait(*window, id); }

  void AddSearchFolder(const QString& path) {
    QTest::mouseClick(Find<QPushButton>(*window, ids::renderMediaFolders), Qt::LeftButton);
    auto* dialog = window->findChild<MediaFoldersDialog*>();
    QVERIFY(dialog);
    dialog->searchFolders->addItem(path);
    dialog->accept();
    QCOMPARE(window->Media().searchFolders, QStringList{path});
  }

  void StartAndWaitForFrames() {
    QTest::mouseClick(Find<QPushButton>(*window, ids::renderRun), Qt::LeftButton);
    QVERIFY(window->Running());
    auto* status = Find<QLineEdit>(*window, ids::renderStatus);
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("rendering frame"), 30000);
  }

  void ExpectOnlyTheOldDestination() {
    QCOMPARE(ReadAll(Path("out.mp4")), QByteArray("old"));
    QCOMPARE(QDir(folder->path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({"long.mpj", "out.mp4"}));
    QCOMPARE(ChildProcesses(), QStringList());
  }

  static std::size_t Clips(TimelineView& picture) {
    const TimelineScene* scene = picture.State().Scene();
    return scene != nullptr ? scene->Clips() : 0;
  }
  static bool NoneMissing(TimelineView& picture) {
    const TimelineScene* scene = picture.State().Scene();
    return scene != nullptr && scene->MissingClips() == 0;
  }
};

}  // namespace pexol

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet(pexol::childSettings)) return pexol::RunChildWindow(argc, argv);
  QApplication app(argc, argv);
  pexol::RenderTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RenderTest.moc"
