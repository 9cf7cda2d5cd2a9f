// tests/app/RunTest.cpp - the three runs started by their buttons: files, progress and messages
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "app/ExchangeDlg.h"
#include "app/PageObserver.h"
#include "app/DisplayText.h"
#include "run/RunConversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {

namespace {

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

class RunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings.Clear();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    prompts = std::make_unique<FakePrompts>();
    window = std::make_unique<CExchangeDlg>(*prompts);
    window->show();
    project = Path("demo.mpj");
    WriteAll(project, build::BuildProject(build::DemoProject()));
  }
  void cleanup() {
    window.reset();
    prompts.reset();
  }

  void ToTextRunWritesTheTextWithThePageOptions() {
    Type("1016", project);
    Type("1018", Path("demo.txt"));
    const auto seen = Watch(*window->toTextProgress, "1039");
    Click("1011");
    QCOMPARE(ReadAll(Path("demo.txt")), CoreText(ToTextOptions{}));  // the start options
    ExpectCompleted("conversion completed\n\nfrom : " + project + "\n   to : " + Path("demo.txt") +
                    Automatic("Corvane, Brisko"));
    ExpectEndShownThenReset(*seen, *window->toTextProgress, 200);
    QVERIFY(prompts->questions.isEmpty());  // the destination was new

    Click("1040");  // FRAME
    Click("1046");  // CSV
    prompts->replies << true;
    Click("1011");
    QCOMPARE(prompts->questions, QStringList{Path("demo.txt") + " exists. Replace it?"});
    const QByteArray csvFrames = ReadAll(Path("demo.txt"));
    QCOMPARE(csvFrames, CoreText({Software::CorvaneBrisko, TimecodeMode::Frame, true}));
    QVERIFY(csvFrames != CoreText(ToTextOptions{}));
  }

  void ToProjectRunRebuildsTheProject() {
    const QString text = Path("demo.txt");
    WriteAll(text, CoreText(ToTextOptions{}).toStdString());
    window->tabs->setCurrentIndex(1);
    Type("1020", project);
    Type("1025", text);
    Type("1023", Path("new.mpj"));
    const auto seen = Watch(*window->toProjectProgress, "1045");
    Click("1012");
    QCOMPARE(ReadAll(Path("new.mpj")), ReadAll(project));
    ExpectCompleted("conversion completed\n\nfrom : " + project + "\n      & " + text +
                    "\n   to : " + Path("new.mpj") + Automatic("Corvane, Brisko"));
    // This run's section shares do not add up to the whole bar; it shows where the run ended.
    ToProjectJob job{project.toStdString(), text.toStdString(), Path("core.mpj").toStdString(), {}};
    LastProgress last;
    QVERIFY(RunTextToProject(job, last).Completed());
    QVERIFY(last.done > 150);
    ExpectEndShownThenReset(*seen, *window->toProjectProgress, last.done);
  }

  void CheckRunListsMissingNamesDecoded() {
    build::Project missing;
    missing.version = 0x207;
    missing.main = {{std::string(titleInShiftJis) + ".avi", 0, 9, 0, "", 0, 0, {}}};
    const QString source = Path("missing.mpj");
    WriteAll(source, build::BuildProject(missing));
    window->tabs->setCurrentIndex(2);
    Type("1074", source);
    Type("1077", Path("report.txt"));
    const auto seen = Watch(*window->findProgress, "1081");
    Click("1079");
    ExpectCompleted("complete\n\n" + source +
                    "\n\n1 file undetected\n\n[MainAV]\nタイトル.avi\n[InsertAV]\n[ExAudio1]\n"
                    "[ExAudio2]\n[Title]\n[BinWindow]\n\n" +
                    Automatic("Corvane, Brisko").mid(2));
    const QByteArray report = ReadAll(Path("report.txt"));
    QVERIFY(report.startsWith(
        "[MainAV]\r\n" + QByteArray(titleInShiftJis.data(), qsizetype(titleInShiftJis.size())) +
        ".avi\r\n"));
    QCOMPARE(window->missingCount, 1);
    ExpectEndShownThenReset(*seen, *window->findProgress, 200);
  }

  void OpenFailuresNameTheirFile_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("edits");  // id=value, value "demo" is the demo project
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("file");
    QTest::newRow("to text, source")
        << 0 << QStringList{"1016=absent.mpj", "1018=out.txt"} << "1011"
        << "Can not open mpj source file"
        << "absent.mpj";
    QTest::newRow("to text, destination")
        << 0 << QStringList{"1016=demo", "1018=no/such/dir/out.txt"} << "1011"
        << "Can not open txt destination file"
        << "no/such/dir/out.txt";
    QTest::newRow("to project, source")
        << 1 << QStringList{"1020=absent.mpj", "1025=demo", "1023=new.mpj"} << "1012"
        << "Can not open mpj source file"
        << "absent.mpj";
    QTest::newRow("to project, text")
        << 1 << QStringList{"1020=demo", "1025=absent.txt", "1023=new.mpj"} << "1012"
        << "Can not open txt source file"
        << "absent.txt";
    QTest::newRow("to project, destination")
        << 1 << QStringList{"1020=demo", "1025=demo", "1023=no/such/dir/new.mpj"} << "1012"
        << "Can not open mpj destination file"
        << "no/such/dir/new.mpj";
    QTest::newRow("check, source") << 2 << QStringList{"1074=absent.mpj"} << "1079"
                                   << "Can not open mpj source file"
                                   << "absent.mpj";
    QTest::newRow("check, report")
        << 2 << QStringList{"1074=demo", "1077=no/such/dir/report.txt"} << "1079"
        << "Can not open txt destination file"
        << "no/such/dir/report.txt";
  }
  void OpenFailuresNameTheirFile() {
    QFETCH(int, page);
    QFETCH(QStringList, edits);
    QFETCH(QString, button);
    QFETCH(QString, headline);
    QFETCH(QString, file);
    window->tabs->setCurrentIndex(page);
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
    QTest::newRow("to text") << 0 << QStringList{"1016=demo", "1018=kept.txt"} << "kept.txt"
                             << "1011";
    QTest::newRow("to project") << 1 << QStringList{"1020=demo", "1025=text", "1023=kept.mpj"}
                                << "kept.mpj"
                                << "1012";
    QTest::newRow("check report") << 2 << QStringList{"1074=demo", "1077=kept.txt"} << "kept.txt"
                                  << "1079";
    QTest::newRow("export") << 3 << QStringList{"1103=demo", "1106=kept.otio"} << "kept.otio"
                            << "1108";
  }
  void AnExistingTypedDestinationIsReplacedOnlyWhenAllowed() {
    QFETCH(int, page);
    QFETCH(QStringList, edits);
    QFETCH(QString, destination);
    QFETCH(QString, button);
    WriteAll(Path("demo.txt"), CoreText(ToTextOptions{}).toStdString());
    WriteAll(Path(destination), "edited by hand");
    window->tabs->setCurrentIndex(page);
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
    Type("1016", project);
    prompts->answers << out;
    Click("1019");  // the save dialog asked about "old" already
    Click("1011");
    QVERIFY(prompts->questions.isEmpty());
    QCOMPARE(ReadAll(out), CoreText(ToTextOptions{}));

    WriteAll(out, "edited by hand");  // between two presses of "convert"
    Click("1011");
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(ReadAll(out), QByteArray("edited by hand"));

    // Typing over a chosen name makes it typed again.
    prompts->answers << out;
    Click("1019");
    auto* edit = window->findChild<QLineEdit*>("1018");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "t");
    QCOMPARE(edit->text(), out);
    Click("1011");
    QCOMPARE(prompts->questions.size(), 2);
    QCOMPARE(ReadAll(out), QByteArray("edited by hand"));
    QCOMPARE(prompts->messages.size(), 1);
  }

  void NoSoftwareTickedReadsAProjectAsItsOwnSoftware() {
    build::Project shape = build::DemoProject();
    shape.software = build::Software::Lumetta;
    const QString lumetta = Path("lumetta.mpj");
    WriteAll(lumetta, build::BuildProject(shape));
    Type("1016", lumetta);
    Type("1018", Path("lumetta.txt"));
    Click("1011");
    ExpectCompleted("conversion completed\n\nfrom : " + lumetta +
                    "\n   to : " + Path("lumetta.txt") + Automatic("Lumetta"));
    QCOMPARE(ReadAll(Path("lumetta.txt")), CoreText({Software::Lumetta}, lumetta));

    window->tabs->setCurrentIndex(2);
    Type("1074", lumetta);
    Click("1079");
    QCOMPARE(prompts->messages.last().icon, MessageIcon::None);
    QVERIFY2(prompts->messages.last().text.endsWith(Automatic("Lumetta")),
             qPrintable(prompts->messages.last().text));

    // A ticked button is the user's word: the run neither guesses nor says it chose.
    window->tabs->setCurrentIndex(0);
    Click("1041");
    prompts->replies << true;
    Click("1011");
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY(!prompts->messages.last().text.contains("automatically"));
  }

  void AFailedRunEmptiesTheBar() {
    std::string cut = build::BuildProject(build::DemoProject());
    cut.resize(cut.size() * 2 / 3);
    WriteAll(Path("cut.mpj"), cut);
    Click("1041");  // so that the run reads as far as the project goes
    Type("1016", Path("cut.mpj"));
    Type("1018", Path("out.txt"));
    const auto seen = Watch(*window->toTextProgress, "1039");
    Click("1011");
    QCOMPARE(prompts->messages.last().icon, MessageIcon::Exclamation);
    QVERIFY2(seen->progress > 0, "the run stopped before it started");
    QCOMPARE(window->toTextProgress->value(), 0);
    QVERIFY(!QFile::exists(Path("out.txt")));
  }

  void MessageLinesDecodeOneByOne() {
    // A UTF-8 path, a Shift-JIS name and a name that is neither, in one message.
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

  void ManyRecordsRepaintOnlyNowAndThen() {
    QLineEdit status;
    QProgressBar progress;
    progress.setRange(0, 200);
    PageObserver observer(status, progress);
    observer.Progress(0, 200);
    for (int i = 1; i <= 20000; ++i) {
      observer.Status(QStringLiteral("[BinWindow] %1 / 20000").arg(i).toStdString());
      observer.Progress(i / 100, 200);
    }
    QVERIFY2(observer.Repaints() < 200, qPrintable(QString::number(observer.Repaints())));
    QCOMPARE(status.text(), QStringLiteral("[BinWindow] 20000 / 20000"));  // the end is shown
    QCOMPARE(progress.value(), 200);
  }

 private:
  QString Path(const QString& name) const { return folder->filePath(name); }

  void Type(const QString& id, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(id);
    QVERIFY(edit && edit->isVisible());
    edit->clear();
    QTest::keyClicks(edit, text);
  }

  void Click(const QString& id) {
    auto* button = window->findChild<QAbstractButton*>(id);
    QVERIFY(button && button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
  }

  /// Filled in when the run's message box would be shown.
  std::shared_ptr<const AtMessage> Watch(const QProgressBar& progress, const QString& statusId) {
    auto seen = std::make_shared<AtMessage>();
    const auto* status = window->findChild<QLineEdit*>(statusId);
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

  TestSettings settings;
  std::unique_ptr<QTemporaryDir> folder;
  QString project;
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<CExchangeDlg> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::RunTest)
#include "RunTest.moc"
