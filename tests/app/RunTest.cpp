// tests/app/RunTest.cpp - the three runs started by their buttons: files, progress and messages
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "TestSettings.h"
#include "WindowDriver.h"
#include "app/CollectDialog.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/PageView.h"
#include "app/pages/ExportPage.h"
#include "app/pages/MediaFolders.h"
#include "core/TextEncoding.h"
#include "export/ExportFormats.h"
#include "pages/ThrowingPage.h"
#include "run/RunConversions.h"
#include "support/AafRead.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {

namespace {

QString Id(int id) {
  return QString::number(id);
}

constexpr std::string_view titleInShiftJis = "\x83\x5e\x83\x43\x83\x67\x83\x8b";  // タイトル

/// The closing paragraph of a run whose software was picked for the user.
QString Automatic(const char* software) {
  return QStringLiteral("\n\nRead as \"%1\" (chosen automatically).").arg(software);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, std::string_view bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class LastProgress final : public RunObserver {
 public:
  void Status(std::string_view) override {}
  void Progress(int stepsDone, int) override { done = stepsDone; }
  int done = -1;
};

/// What the page showed while the message box was open.
struct AtMessage {
  int progress = -1;
  QString status = QStringLiteral("unset");
};

}  // namespace

class RunTest : public FreshWindowTest {
  Q_OBJECT

 private slots:
  void init() {
    OpenFreshWindow();
    project = Path("demo.mpj");
    WriteAll(project, build::BuildProject(build::DemoProject()));
  }
  void cleanup() { CloseWindow(); }

  void ToTextRunWritesTheTextWithThePageOptions() {
    Type(ids::toTextSource, project);
    Type(ids::toTextDestination, Path("demo.txt"));
    const auto seen = Watch(*Find<QProgressBar>(*window, ids::toTextProgress), ids::toTextStatus);
    Click(ids::toTextConvert);
    QCOMPARE(ReadAll(Path("demo.txt")), CoreText(ToTextOptions{}));  // the start options
    ExpectCompleted("conversion completed\n\nfrom : " + project + "\n   to : " + Path("demo.txt") +
                    Automatic("Corvane, Brisko"));
    ExpectEndShownThenReset(*seen, *Find<QProgressBar>(*window, ids::toTextProgress), 200);
    QVERIFY(prompts->questions.isEmpty());  // the destination was new

    Click(ids::toTextFrame);  // FRAME
    Click(ids::toTextCsv);    // CSV
    prompts->replies << true;
    Click(ids::toTextConvert);
    QCOMPARE(prompts->questions, QStringList{Path("demo.txt") + " exists. Replace it?"});
    const QByteArray csvFrames = ReadAll(Path("demo.txt"));
    QCOMPARE(csvFrames, CoreText({Software::CorvaneBrisko, TimecodeMode::Frame, true}));
    QVERIFY(csvFrames != CoreText(ToTextOptions{}));
  }

  void EachTimecodeButtonWritesItsMode_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("FRAME") << ids::toTextFrame << int(TimecodeMode::Frame);
    QTest::newRow("NTSC(non drop frame)")
        << ids::toTextNtscNonDrop << int(TimecodeMode::NtscNonDrop);
    QTest::newRow("PAL") << ids::toTextPal << int(TimecodeMode::Pal);
    QTest::newRow("NTSC(drop frame)") << ids::toTextNtscDrop << int(TimecodeMode::NtscDrop);
  }
  void EachTimecodeButtonWritesItsMode() {
    QFETCH(int, button);
    QFETCH(int, mode);
    Type(ids::toTextSource, project);
    Type(ids::toTextDestination, Path("modes.txt"));
    Click(ids::toTextPal);  // so that each button is clicked away from another
    Click(button);
    Click(ids::toTextConvert);
    QCOMPARE(ReadAll(Path("modes.txt")),
             CoreText({Software::CorvaneBrisko, static_cast<TimecodeMode>(mode)}));
  }

  void ExportOptionsReachTheRun() {
    window->Tabs().setCurrentIndex(3);
    Type(ids::exportSource, project);
    Type(ids::exportDestination, Path("cut.otio"));  // the format button wins over the name
    Click(pages::ExportPage::FormatButton("cmx3600"));
    Click(ids::exportNtscNonDrop);
    Click(ids::exportRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    const QByteArray edl = ReadAll(Path("cut.otio"));
    QVERIFY2(edl.startsWith("TITLE: ") && edl.contains("FCM: NON-DROP FRAME"), edl.constData());
  }

  // AAF's own option is offered on the export page only while AAF is the format chosen, by its
  // button or by the destination's name; another format's job carries none of it. The AAF the
  // page writes starts at the hour chosen, as an independent reader sees it.
  void FormatOptionOnlyForItsFormat() {
    window->Tabs().setCurrentIndex(3);
    auto* box = Find<QGroupBox>(*window, ids::ExportOptionBox(0));
    QVERIFY(box != nullptr);
    const int hour = pages::ExportPage::OptionButton("timecode-start", "01:00:00:00");
    QVERIFY(hour != 0);
    Type(ids::exportSource, project);
    Type(ids::exportDestination, Path("cut.aaf"));
    Click(ids::exportFromExtension);
    QVERIFY(box->isEnabled());
    Click(hour);
    Click(pages::ExportPage::FormatButton("otio"));
    QVERIFY(!box->isEnabled());
    Type(ids::exportDestination, Path("cut.otio"));
    Click(ids::exportRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    Click(ids::exportFromExtension);
    QVERIFY(!box->isEnabled());
    Type(ids::exportDestination, Path("hour.aaf"));
    QVERIFY(box->isEnabled());
    Click(ids::exportRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    Click(pages::ExportPage::FormatButton("aaf"));
    Click(pages::ExportPage::OptionButton("timecode-start", "00:00:00:00"));
    Type(ids::exportDestination, Path("zero.aaf"));
    Click(ids::exportRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    QVERIFY(ReadAll(Path("hour.aaf")) != ReadAll(Path("zero.aaf")));

    const test::AafRead read = test::ReadAaf(ReadAll(Path("hour.aaf")).toStdString());
    if (!read.available) QSKIP("pyaaf2 is not in ../shared");
    QVERIFY2(read.problems.empty(), read.problems.empty() ? "" : read.problems.front().c_str());
    QCOMPARE(read.timecodeStart, std::int64_t{30 * 3600 - 108});  // drop frame, the default
    QCOMPARE(test::ReadAaf(ReadAll(Path("zero.aaf")).toStdString()).timecodeStart, 0);
  }

  // The render page encodes a still and a title (services that need no display) and keeps
  // its choices for the next start.
  void RenderPageRendersAStillAndATitle() {
    QImage square(64, 48, QImage::Format_RGB32);
    square.fill(Qt::green);
    QVERIFY(square.save(Path("square.png")));
    build::Project shape;
    const std::string black = build::ColorClipName(0, 1, 0, "000000", "", "", "");
    shape.main = {{Path("square.png").toStdString(), 0, 14, 0, "still", 0, 0, {}},
                  {black, 0, 29, 0, "", 0, 0, {}}};
    build::Title title;
    title.begin = 20;
    title.elementKind = 0x200;
    build::TitleElement text;
    text.text = "HELLO";
    title.elements = {text};
    shape.titles = {title};
    shape.titleTrack = 1;
    const QString source = Path("still.mpj");
    WriteAll(source, build::BuildProject(shape));

    window->Tabs().setCurrentIndex(4);
    Type(ids::renderSource, source);
    Type(ids::renderDestination, Path("still.mkv"));
    Click(ids::renderPal);
    Find<QSpinBox>(*window, ids::renderQuality)->setValue(30);
    Click(ids::renderSizeFirst + 1);  // 720p
    Click(ids::renderRun);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    QVERIFY2(prompts->messages.last().text.startsWith("render completed"),
             qPrintable(prompts->messages.last().text));
    QVERIFY(ReadAll(Path("still.mkv")).size() > 1000);

    window.reset();
    window = std::make_unique<MainWindow>(*prompts);
    QVERIFY(Find<QRadioButton>(*window, ids::renderPal)->isChecked());
    QCOMPARE(Find<QSpinBox>(*window, ids::renderQuality)->value(), 30);
    QVERIFY(Find<QRadioButton>(*window, ids::renderSizeFirst + 1)->isChecked());
  }

  void ToProjectRunRebuildsTheProject() {
    const QString text = Path("demo.txt");
    WriteAll(text, CoreText(ToTextOptions{}).toStdString());
    window->Tabs().setCurrentIndex(1);
    Type(ids::toProjectSource, project);
    Type(ids::toProjectText, text);
    Type(ids::toProjectDestination, Path("new.mpj"));
    const auto seen =
        Watch(*Find<QProgressBar>(*window, ids::toProjectProgress), ids::toProjectStatus);
    Click(ids::toProjectConvert);
    QCOMPARE(ReadAll(Path("new.mpj")), ReadAll(project));
    ExpectCompleted("conversion completed\n\nfrom : " + project + "\n      & " + text +
                    "\n   to : " + Path("new.mpj") + Automatic("Corvane, Brisko"));
    // This run's section shares do not add up to the whole bar; it shows where the run ended.
    ToProjectJob job{project.toStdString(), text.toStdString(), Path("core.mpj").toStdString(), {}};
    LastProgress last;
    QVERIFY(RunTextToProject(job, last).Completed());
    QVERIFY(last.done > 150);
    ExpectEndShownThenReset(*seen, *Find<QProgressBar>(*window, ids::toProjectProgress), last.done);
  }

  void CheckRunListsMissingNamesDecoded() {
    build::Project missing;
    missing.version = 0x207;
    missing.main = {{std::string(titleInShiftJis) + ".avi", 0, 9, 0, "", 0, 0, {}}};
    const QString source = Path("missing.mpj");
    WriteAll(source, build::BuildProject(missing));
    window->Tabs().setCurrentIndex(2);
    Type(ids::findSource, source);
    Type(ids::findReport, Path("report.txt"));
    const auto seen = Watch(*Find<QProgressBar>(*window, ids::findProgress), ids::findStatus);
    Click(ids::findCheck);
    ExpectCompleted("complete\n\n" + source +
                    "\n\n1 file undetected\n\n[MainAV]\nタイトル.avi\n[InsertAV]\n[ExAudio1]\n"
                    "[ExAudio2]\n[Title]\n[BinWindow]\n\n1 reference to 1 media file.\n"
                    "1 reference to 1 missing file.\n\n" +
                    Automatic("Corvane, Brisko").mid(2));
    const QByteArray report = ReadAll(Path("report.txt"));
    QVERIFY(report.startsWith(
        "[MainAV]\r\n" + QByteArray(titleInShiftJis.data(), qsizetype(titleInShiftJis.size())) +
        ".avi\r\n"));
    ExpectEndShownThenReset(*seen, *Find<QProgressBar>(*window, ids::findProgress), 200);
  }

  // The find page's "collect..." asks for the folder and the exports, then runs on its row.
  void CollectGathersTheProjectAndItsMediaInANewFolder() {
    QDir(folder->path()).mkpath(QStringLiteral("footage"));
    WriteAll(Path("footage/shot.avi"), "movie bytes");
    build::Project shot;
    shot.main = {{"footage\\shot.avi", 0, 29, 0, "", 0, 0, {}}};
    const QString source = Path("shot.mpj");
    WriteAll(source, build::BuildProject(shot));
    window->Tabs().setCurrentIndex(2);
    Type(ids::findSource, source);
    QTest::mouseClick(Find<QPushButton>(*window, ids::findCollect), Qt::LeftButton);
    auto* dialog = window->findChild<CollectDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!Find<QPushButton>(*dialog, ids::collectStart)->isEnabled());  // no folder yet
    QTest::keyClicks(Find<QLineEdit>(*dialog, ids::collectFolder), Path("gathered"));
    Find<QCheckBox>(*dialog, ids::collectFormatFirst + 2)->setChecked(true);  // MLT
    // A trim goes with a transcode: it is offered once one is chosen, and no longer after.
    auto* transcode = Find<QComboBox>(*dialog, ids::collectTranscode);
    QCheckBox* trim = Find<QCheckBox>(*dialog, ids::collectTrim);
    QCOMPARE(transcode->count(), 4);
    QVERIFY(!trim->isEnabled());
    transcode->setCurrentIndex(1);
    QVERIFY(trim->isEnabled());
    trim->setChecked(true);
    QCOMPARE(dialog->Transcode().kind, TranscodeKind::ProRes);
    QVERIFY(dialog->Transcode().trim);
    transcode->setCurrentIndex(0);
    QVERIFY(!trim->isEnabled() && !trim->isChecked());
    QSignalSpy ended(window.get(), &MainWindow::RunEnded);
    QTest::mouseClick(Find<QPushButton>(*dialog, ids::collectStart), Qt::LeftButton);
    QVERIFY(ended.wait(60000));
    QCOMPARE(ReadAll(Path("gathered/media/shot.avi")), QByteArray("movie bytes"));
    QVERIFY(ReadAll(Path("gathered/shot.mlt")).contains(">media/shot.avi<"));
    QVERIFY(prompts->messages.last().text.startsWith("Collected \"" + source));
    QVERIFY(prompts->messages.last().text.contains("Copied: 1 media file, 11 bytes"));
  }

  void OpenFailuresNameTheirFile_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("edits");  // id=value, value "demo" is the demo project
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("file");
    QTest::newRow("to text, source") << 0
                                     << QStringList{Id(ids::toTextSource) + "=absent.mpj",
                                                    Id(ids::toTextDestination) + "=out.txt"}
                                     << Id(ids::toTextConvert) << "Can not open mpj source file"
                                     << "absent.mpj";
    QTest::newRow("to text, destination")
        << 0
        << QStringList{Id(ids::toTextSource) + "=demo",
                       Id(ids::toTextDestination) + "=no/such/dir/out.txt"}
        << Id(ids::toTextConvert) << "Can not open txt destination file"
        << "no/such/dir/out.txt";
    QTest::newRow("to project, source")
        << 1
        << QStringList{Id(ids::toProjectSource) + "=absent.mpj", Id(ids::toProjectText) + "=demo",
                       Id(ids::toProjectDestination) + "=new.mpj"}
        << Id(ids::toProjectConvert) << "Can not open mpj source file"
        << "absent.mpj";
    QTest::newRow("to project, text")
        << 1
        << QStringList{Id(ids::toProjectSource) + "=demo", Id(ids::toProjectText) + "=absent.txt",
                       Id(ids::toProjectDestination) + "=new.mpj"}
        << Id(ids::toProjectConvert) << "Can not open txt source file"
        << "absent.txt";
    QTest::newRow("to project, destination")
        << 1
        << QStringList{Id(ids::toProjectSource) + "=demo", Id(ids::toProjectText) + "=demo",
                       Id(ids::toProjectDestination) + "=no/such/dir/new.mpj"}
        << Id(ids::toProjectConvert) << "Can not open mpj destination file"
        << "no/such/dir/new.mpj";
    QTest::newRow("check, source") << 2 << QStringList{Id(ids::findSource) + "=absent.mpj"}
                                   << Id(ids::findCheck) << "Can not open mpj source file"
                                   << "absent.mpj";
    QTest::newRow("check, report") << 2
                                   << QStringList{Id(ids::findSource) + "=demo",
                                                  Id(ids::findReport) + "=no/such/dir/report.txt"}
                                   << Id(ids::findCheck) << "Can not open txt destination file"
                                   << "no/such/dir/report.txt";
  }
  void OpenFailuresNameTheirFile() {
    QFETCH(int, page);
    QFETCH(QStringList, edits);
    QFETCH(QString, button);
    QFETCH(QString, headline);
    QFETCH(QString, file);
    window->Tabs().setCurrentIndex(page);
    for (const QString& edit : edits) {
      const QString value = edit.section('=', 1);
      Type(edit.section('=', 0, 0), value == "demo" ? project : Path(value));
    }
    Click(button);
    QCOMPARE(prompts->messages.size(), 1);
    const QString prefix = headline + "\n\n" + Path(file) + "\n";
    QVERIFY2(prompts->messages[0].text.startsWith(prefix), qPrintable(prompts->messages[0].text));
    QCOMPARE(prompts->messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(!QFile::exists(Path("new.mpj")) && !QFile::exists(Path("out.txt")));
  }

  void AnExistingTypedDestinationIsReplacedOnlyWhenAllowed_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>(
        "edits");  // id=value; "demo" is the demo project, "text" its text
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("button");
    QTest::newRow("to text") << 0
                             << QStringList{Id(ids::toTextSource) + "=demo",
                                            Id(ids::toTextDestination) + "=kept.txt"}
                             << "kept.txt" << Id(ids::toTextConvert);
    QTest::newRow("to project") << 1
                                << QStringList{Id(ids::toProjectSource) + "=demo",
                                               Id(ids::toProjectText) + "=text",
                                               Id(ids::toProjectDestination) + "=kept.mpj"}
                                << "kept.mpj" << Id(ids::toProjectConvert);
    QTest::newRow("check report") << 2
                                  << QStringList{Id(ids::findSource) + "=demo",
                                                 Id(ids::findReport) + "=kept.txt"}
                                  << "kept.txt" << Id(ids::findCheck);
    QTest::newRow("export") << 3
                            << QStringList{Id(ids::exportSource) + "=demo",
                                           Id(ids::exportDestination) + "=kept.otio"}
                            << "kept.otio" << Id(ids::exportRun);
  }
  void AnExistingTypedDestinationIsReplacedOnlyWhenAllowed() {
    QFETCH(int, page);
    QFETCH(QStringList, edits);
    QFETCH(QString, destination);
    QFETCH(QString, button);
    WriteAll(Path("demo.txt"), CoreText(ToTextOptions{}).toStdString());
    WriteAll(Path(destination), "edited by hand");
    window->Tabs().setCurrentIndex(page);
    for (const QString& edit : edits) {
      const QString value = edit.section('=', 1);
      const QString path = value == "demo"   ? project
                           : value == "text" ? Path("demo.txt")
                                             : Path(value);
      Type(edit.section('=', 0, 0), path);
    }

    Click(button);  // answered with the default, No
    QCOMPARE(prompts->questions, QStringList{Path(destination) + " exists. Replace it?"});
    QVERIFY(prompts->messages.isEmpty());  // nothing ran
    QCOMPARE(ReadAll(Path(destination)), QByteArray("edited by hand"));

    prompts->replies << true;
    Click(button);
    QCOMPARE(prompts->questions.size(), 2);
    QCOMPARE(prompts->messages.size(), 1);  // this time the run went ahead
    if (page != 3) {  // what an export writes belongs to the export's own tests
      QCOMPARE(prompts->messages[0].icon, MessageIcon::None);
      QVERIFY(ReadAll(Path(destination)) != QByteArray("edited by hand"));
    }
  }

  void ADialogsAnswerCoversOneRunOfTheNameItChose() {
    const QString out = Path("out.txt");
    WriteAll(out, "old");
    Type(ids::toTextSource, project);
    prompts->answers << out;
    Click(ids::toTextDestinationChooser);  // the save dialog asked about "old" already
    Click(ids::toTextConvert);
    QVERIFY(prompts->questions.isEmpty());
    QCOMPARE(ReadAll(out), CoreText(ToTextOptions{}));

    WriteAll(out, "edited by hand");  // between two presses of "convert"
    Click(ids::toTextConvert);
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(ReadAll(out), QByteArray("edited by hand"));

    // Typing over a chosen name makes it typed again.
    prompts->answers << out;
    Click(ids::toTextDestinationChooser);
    auto* edit = window->findChild<QLineEdit*>(Id(ids::toTextDestination));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "t");
    QCOMPARE(edit->text(), out);
    Click(ids::toTextConvert);
    QCOMPARE(prompts->questions.size(), 2);
    QCOMPARE(ReadAll(out), QByteArray("edited by hand"));
    QCOMPARE(prompts->messages.size(), 1);
  }

  void NoSoftwareTickedReadsAProjectAsItsOwnSoftware() {
    build::Project shape = build::DemoProject();
    shape.software = build::Software::Lumetta;
    const QString lumetta = Path("lumetta.mpj");
    WriteAll(lumetta, build::BuildProject(shape));
    Type(ids::toTextSource, lumetta);
    Type(ids::toTextDestination, Path("lumetta.txt"));
    Click(ids::toTextConvert);
    ExpectCompleted("conversion completed\n\nfrom : " + lumetta +
                    "\n   to : " + Path("lumetta.txt") + Automatic("Lumetta"));
    QCOMPARE(ReadAll(Path("lumetta.txt")), CoreText({Software::Lumetta}, lumetta));

    window->Tabs().setCurrentIndex(2);
    Type(ids::findSource, lumetta);
    Click(ids::findCheck);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    QVERIFY2(prompts->messages.last().text.endsWith(Automatic("Lumetta")),
             qPrintable(prompts->messages.last().text));

    // A ticked button is the user's word: the run neither guesses nor says it chose.
    window->Tabs().setCurrentIndex(0);
    Click(ids::toTextCorvane);
    prompts->replies << true;
    Click(ids::toTextConvert);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY(!prompts->messages.last().text.contains("automatically"));
  }

  void AFailedRunEmptiesTheBar() {
    std::string cut = build::BuildProject(build::DemoProject());
    cut.resize(cut.size() * 2 / 3);
    WriteAll(Path("cut.mpj"), cut);
    Click(ids::toTextCorvane);  // so that the run reads as far as the project goes
    Type(ids::toTextSource, Path("cut.mpj"));
    Type(ids::toTextDestination, Path("out.txt"));
    const auto seen = Watch(*Find<QProgressBar>(*window, ids::toTextProgress), ids::toTextStatus);
    Click(ids::toTextConvert);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY2(seen->progress > 0, "the run stopped before it started");
    QCOMPARE(Find<QProgressBar>(*window, ids::toTextProgress)->value(), 0);
    QVERIFY(!QFile::exists(Path("out.txt")));
  }

  void MessageLinesDecodeOneByOne() {
    // A UTF-8 path, a Shift-JIS name and a name that is neither, in one message, decoded as
    // the window's messages are (and the command line's).
    const auto DecodeForDisplay = [](std::string_view bytes) { return QtText(DisplayText(bytes)); };
    const QString shown =
        DecodeForDisplay("/home/\xc3\xa9t\xc3\xa9\n\x83\x5e\x83\x43.avi\nbad\xff\x81.avi");
    QCOMPARE(shown.section('\n', 0, 0), QStringLiteral("/home/été"));
    QCOMPARE(shown.section('\n', 1, 1), QStringLiteral("タイ.avi"));
    QVERIFY(shown.section('\n', 2, 2).startsWith(QStringLiteral("bad")));
    QVERIFY(shown.section('\n', 2, 2).contains(QChar::ReplacementCharacter));
    // Names use the Windows code page, as the command line reads them: its circled digits
    // and its wave dash.
    QCOMPARE(DecodeForDisplay("\x87\x40\x81\x60.avi"), QStringLiteral("①～.avi"));
  }

  // A job that throws, a standard exception or anything else, is a failed run with a message
  // naming the project; the window goes on.
  void ARunThatThrowsIsAFailedRunWithAMessage_data() {
    QTest::addColumn<bool>("standard");
    QTest::addColumn<QString>("reason");
    QTest::newRow("std::exception") << true << "no room left.";
    QTest::newRow("anything else") << false << "An unexpected error ended it.";
  }
  void ARunThatThrowsIsAFailedRunWithAMessage() {
    QFETCH(bool, standard);
    QFETCH(QString, reason);
    pages::RunGate gate;
    PageView page({*prompts, gate, [] { return pages::MediaFolders{}; }},
                  std::make_unique<test::ThrowingPage>(standard));
    page.show();
    QTest::keyClicks(Find<QLineEdit>(page, test::ThrowingPage::sourceId), project);
    QSignalSpy ended(&page, &RunPage::RunEnded);
    QTest::mouseClick(Find<QPushButton>(page, test::ThrowingPage::runId), Qt::LeftButton);
    QVERIFY(ended.wait(10000));
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages[0].text, "The run failed\n\n" + project + "\n" + reason);
    QCOMPARE(prompts->messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(!page.Running());
    QVERIFY(Find<QPushButton>(page, test::ThrowingPage::runId)->isVisible());
    QCOMPARE(gate.Running(), nullptr);
  }

 private:
  void Type(const QString& id, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(id);
    QVERIFY(edit && edit->isVisible());
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Type(int id, const QString& text) { Type(Id(id), text); }

  void Click(int id) { ClickAndWait(*window, id); }
  void Click(const QString& id) { Click(id.toInt()); }

  /// Filled in when the run's message box would be shown.
  std::shared_ptr<const AtMessage> Watch(const QProgressBar& progress, int statusId) {
    auto seen = std::make_shared<AtMessage>();
    const auto* status = Find<QLineEdit>(*window, statusId);
    prompts->onMessage = [seen, &progress, status] {
      seen->progress = progress.value();
      seen->status = status->text();
    };
    return seen;
  }

  QByteArray CoreText(const ToTextOptions& options, const QString& source = {}) {
    ToTextJob job{(source.isEmpty() ? project : source).toStdString(),
                  Path("core.txt").toStdString(), options, SoftwareChoice::Named(options.software)};
    NullObserver quiet;
    if (!RunProjectToText(job, quiet).Completed()) return {};
    return ReadAll(Path("core.txt"));
  }

  /// The box showed the run's last step and an empty status line; the bar is empty again.
  void ExpectEndShownThenReset(const AtMessage& seen, const QProgressBar& bar, int end) {
    QCOMPARE(seen.progress, end);
    QCOMPARE(seen.status, QString());
    QCOMPARE(bar.value(), 0);
  }

  void ExpectCompleted(const QString& text) {
    QVERIFY(!prompts->messages.isEmpty());
    QCOMPARE(prompts->messages.last().text, text);
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
  }

  QString project;
};

}  // namespace pexol

QTEST_MAIN(pexol::RunTest)
#include "RunTest.moc"
