// tests/app/ChooserTest.cpp - the "..." buttons: what they ask for and the one field they fill
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "FreshWindow.h"
#include "TestSettings.h"
#include "WindowDriver.h"

namespace pexol {

namespace {

const QList<int> editIds = {
    ids::toTextSource,      ids::toTextDestination,    ids::toProjectSource,
    ids::toProjectText,     ids::toProjectDestination, ids::findSource,
    ids::findSearchFolder,  ids::findReport,           ids::exportSource,
    ids::exportDestination, ids::renderSource,         ids::renderDestination};
const QString projectFilter = QStringLiteral("Corvane file (*.mpj);;all(*.*)");
const QString textFilter = QStringLiteral("Text file (*.txt);;all(*.*)");
const QString timelineFilter = QStringLiteral(
    "OpenTimelineIO (*.otio);;CMX 3600 (*.edl);;MLT (Shotcut) (*.mlt);;Kdenlive "
    "(*.kdenlive);;Final Cut Pro 7 XML (Premiere Pro, Resolve) (*.xml);;FCPXML 1.10 (Final Cut "
    "Pro, Resolve) (*.fcpxml);;AAF (Media Composer, Pro Tools) (*.aaf);;all(*.*)");
const QString videoFilter = QStringLiteral(
    "MP4 video (*.mp4);;Matroska video (*.mkv);;QuickTime movie (*.mov);;"
    "WAV sound (*.wav);;FLAC sound (*.flac);;AAC sound (*.m4a);;MP3 sound "
    "(*.mp3);;all(*.*)");

/// The files a save dialog for `request` returns when `name` is typed in `folder` with
/// `filter` shown; empty unless it accepted and would ask before replacing a file.
QStringList SaveTyped(QWidget* owner, const FileDialogRequest& request, const QString& folder,
                      const QString& filter, const QString& name) {
  const auto dialog = MakeFileDialog(owner, request);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setDirectory(folder);
  dialog->show();
  if (!filter.isEmpty()) {
    dialog->selectNameFilter(filter);
    emit dialog->filterSelected(filter);
  }
  auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
  if (!edit) return {};
  edit->clear();
  QTest::keyClicks(edit, name);
  QTest::keyClick(edit, Qt::Key_Return);
  if (dialog->result() != QDialog::Accepted || dialog->acceptMode() != QFileDialog::AcceptSave ||
      dialog->testOption(QFileDialog::DontConfirmOverwrite))
    return {};
  return dialog->selectedFiles();
}

QStringList EditTexts(const MainWindow& window) {
  QStringList texts;
  for (int id : editIds) texts << Find<QLineEdit>(window, id)->text();
  return texts;
}

}  // namespace

class ChooserTest : public FreshWindowTest {
  Q_OBJECT

 private slots:
  void init() { OpenFreshWindow(); }
  void cleanup() { CloseWindow(); }

  void CancelKeepsWhatWasTyped() {
    QTest::keyClicks(Find<QLineEdit>(*window, ids::toTextDestination), "typed.txt");
    QTest::mouseClick(Find<QPushButton>(*window, ids::toTextSourceChooser), Qt::LeftButton);
    QCOMPARE(prompts->requests.size(), 1);
    QCOMPARE(Find<QLineEdit>(*window, ids::toTextDestination)->text(), QStringLiteral("typed.txt"));
    QCOMPARE(Find<QLineEdit>(*window, ids::toTextSource)->text(), QString());
  }

  void ChoosingFillsOnlyTheFieldBesideTheButton_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("edit");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("filter");
    using enum FileDialogKind;
    QTest::newRow("toTextSourceChooser") << 0 << ids::toTextSourceChooser << ids::toTextSource
                                         << int(Open) << "mpj" << projectFilter;
    QTest::newRow("toTextDestinationChooser")
        << 0 << ids::toTextDestinationChooser << ids::toTextDestination << int(SaveAs) << "txt"
        << textFilter;
    QTest::newRow("toProjectSourceChooser")
        << 1 << ids::toProjectSourceChooser << ids::toProjectSource << int(Open) << "mpj"
        << projectFilter;
    QTest::newRow("toProjectTextChooser")
        << 1 << ids::toProjectTextChooser << ids::toProjectText << int(Open) << "txt" << textFilter;
    QTest::newRow("toProjectDestinationChooser")
        << 1 << ids::toProjectDestinationChooser << ids::toProjectDestination << int(SaveAs)
        << "mpj" << projectFilter;
    QTest::newRow("findSourceChooser")
        << 2 << ids::findSourceChooser << ids::findSource << int(Open) << "mpj" << projectFilter;
    QTest::newRow("findSearchFolderChooser")
        << 2 << ids::findSearchFolderChooser << ids::findSearchFolder << int(Folder) << ""
        << "";
    QTest::newRow("findReportChooser")
        << 2 << ids::findReportChooser << ids::findReport << int(SaveAs) << "txt" << textFilter;
    QTest::newRow("exportSourceChooser") << 3 << ids::exportSourceChooser << ids::exportSource
                                         << int(Open) << "mpj" << projectFilter;
    QTest::newRow("exportDestinationChooser")
        << 3 << ids::exportDestinationChooser << ids::exportDestination << int(SaveAs) << "otio"
        << timelineFilter;
    QTest::newRow("renderDestinationChooser")
        << 4 << ids::renderDestinationChooser << ids::renderDestination << int(SaveAs) << "mp4"
        << videoFilter;
  }
  void ChoosingFillsOnlyTheFieldBesideTheButton() {
    QFETCH(int, page);
    QFETCH(int, button);
    QFETCH(int, edit);
    QFETCH(int, kind);
    QFETCH(QString, extension);
    QFETCH(QString, filter);
    window->Tabs().setCurrentIndex(page);
    QStringList expected = EditTexts(*window);
    const QString chosen = "/chosen/file" + (extension.isEmpty() ? "" : "." + extension);
    expected[editIds.indexOf(edit)] = chosen;
    prompts->answers << chosen;

    QTest::mouseClick(Find<QPushButton>(*window, button), Qt::LeftButton);
    QCOMPARE(EditTexts(*window), expected);
    const FileDialogRequest& request = prompts->requests.at(0);
    QCOMPARE(int(request.kind), kind);
    if (request.kind == FileDialogKind::Folder) return;
    QCOMPARE(request.defaultExtension, extension);
    QCOMPARE(request.initialName, "*." + extension);
    QCOMPARE(request.filter, filter);
  }

  void TypedNameWithoutExtensionGetsTheDefaultOne() {
    QTemporaryDir folder;
    const FileDialogRequest report = RequestOf(2, ids::findReportChooser);
    QCOMPARE(SaveTyped(window.get(), report, folder.path(), {}, "report"),
             QStringList{folder.filePath("report.txt")});
  }

  void TimelineNameTakesTheExtensionOfTheFormatShown() {
    QTemporaryDir folder;
    const FileDialogRequest timeline = RequestOf(3, ids::exportDestinationChooser);
    QCOMPARE(SaveTyped(window.get(), timeline, folder.path(), {}, "cut"),
             QStringList{folder.filePath("cut.otio")});
    QCOMPARE(SaveTyped(window.get(), timeline, folder.path(), "CMX 3600 (*.edl)", "cut"),
             QStringList{folder.filePath("cut.edl")});
    QCOMPARE(SaveTyped(window.get(), timeline, folder.path(), "MLT (Shotcut) (*.mlt)", "cut"),
             QStringList{folder.filePath("cut.mlt")});
  }

  void OpenDialogsTakeNewNamesAndStartFiltered() {
    FileDialogRequest request = RequestOf(1, ids::toProjectTextChooser);
    request.filter = QStringLiteral("all(*.*);;") + request.filter;
    const auto dialog = MakeFileDialog(window.get(), request);
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);  // the file itself need not exist
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Text file (*.txt)"));
  }

 private:
  /// What the "..." button `id` on `page` asks its dialog for.
  FileDialogRequest RequestOf(int page, int id) {
    window->Tabs().setCurrentIndex(page);
    QTest::mouseClick(Find<QPushButton>(*window, id), Qt::LeftButton);
    return prompts->requests.last();
  }
};

}  // namespace pexol

QTEST_MAIN(pexol::ChooserTest)
#include "ChooserTest.moc"
