// tests/app/ChooserTest.cpp - the "..." buttons: what they ask for and the one field they fill
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "TestSettings.h"
#include "app/ExchangeDlg.h"
#include "app/FileChooser.h"

namespace pexol {

namespace {

const QStringList editIds = {"1016", "1018", "1020", "1025", "1023",
                             "1074", "1083", "1077", "1103", "1106"};
const QString projectFilter = QStringLiteral("Corvane file (*.mpj);;all(*.*)");
const QString textFilter = QStringLiteral("Text file (*.txt);;all(*.*)");
const QString timelineFilter =
    QStringLiteral("OpenTimelineIO (*.otio);;CMX 3600 (*.edl);;MLT (Shotcut) (*.mlt);;all(*.*)");

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

QStringList EditTexts(const CExchangeDlg& window) {
  QStringList texts;
  for (const QString& id : editIds) texts << window.findChild<QLineEdit*>(id)->text();
  return texts;
}

}  // namespace

class ChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings.Clear();
    prompts = std::make_unique<FakePrompts>();
    window = std::make_unique<CExchangeDlg>(*prompts);
    window->show();
  }
  void cleanup() {
    window.reset();
    prompts.reset();
  }

  void CancelKeepsWhatWasTyped() {
    QTest::keyClicks(window->findChild<QLineEdit*>("1018"), "typed.txt");
    QTest::mouseClick(window->findChild<QPushButton*>("1015"), Qt::LeftButton);
    QCOMPARE(prompts->requests.size(), 1);
    QCOMPARE(window->findChild<QLineEdit*>("1018")->text(), QStringLiteral("typed.txt"));
    QCOMPARE(window->findChild<QLineEdit*>("1016")->text(), QString());
  }

  void ChoosingFillsOnlyTheFieldBesideTheButton_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("filter");
    using enum FileDialogKind;
    QTest::newRow("1015") << 0 << "1015"
                          << "1016" << int(Open) << "mpj" << projectFilter;
    QTest::newRow("1019") << 0 << "1019"
                          << "1018" << int(SaveAs) << "txt" << textFilter;
    QTest::newRow("1022") << 1 << "1022"
                          << "1020" << int(Open) << "mpj" << projectFilter;
    QTest::newRow("1026") << 1 << "1026"
                          << "1025" << int(Open) << "txt" << textFilter;
    QTest::newRow("1024") << 1 << "1024"
                          << "1023" << int(SaveAs) << "mpj" << projectFilter;
    QTest::newRow("1075") << 2 << "1075"
                          << "1074" << int(Open) << "mpj" << projectFilter;
    QTest::newRow("1084") << 2 << "1084"
                          << "1083" << int(Folder) << ""
                          << "";
    QTest::newRow("1078") << 2 << "1078"
                          << "1077" << int(SaveAs) << "txt" << textFilter;
    QTest::newRow("1104") << 3 << "1104"
                          << "1103" << int(Open) << "mpj" << projectFilter;
    QTest::newRow("1107") << 3 << "1107"
                          << "1106" << int(SaveAs) << "otio" << timelineFilter;
  }
  void ChoosingFillsOnlyTheFieldBesideTheButton() {
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, edit);
    QFETCH(int, kind);
    QFETCH(QString, extension);
    QFETCH(QString, filter);
    window->tabs->setCurrentIndex(page);
    QStringList expected = EditTexts(*window);
    const QString chosen = "/chosen/file" + (extension.isEmpty() ? "" : "." + extension);
    expected[editIds.indexOf(edit)] = chosen;
    prompts->answers << chosen;

    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
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
    const FileChooser* report = FindChooser(1078);  // the "find" page's report
    QVERIFY(report);
    QCOMPARE(SaveTyped(window.get(), report->request, folder.path(), {}, "report"),
             QStringList{folder.filePath("report.txt")});
  }

  void TimelineNameTakesTheExtensionOfTheFormatShown() {
    QTemporaryDir folder;
    const FileChooser* timeline = FindChooser(1107);
    QVERIFY(timeline);
    QCOMPARE(SaveTyped(window.get(), timeline->request, folder.path(), {}, "cut"),
             QStringList{folder.filePath("cut.otio")});
    QCOMPARE(SaveTyped(window.get(), timeline->request, folder.path(), "CMX 3600 (*.edl)", "cut"),
             QStringList{folder.filePath("cut.edl")});
    QCOMPARE(
        SaveTyped(window.get(), timeline->request, folder.path(), "MLT (Shotcut) (*.mlt)", "cut"),
        QStringList{folder.filePath("cut.mlt")});
  }

  void OpenDialogsTakeNewNamesAndStartFiltered() {
    FileDialogRequest request = FindChooser(1026)->request;  // the text source
    request.filter = QStringLiteral("all(*.*);;") + request.filter;
    const auto dialog = MakeFileDialog(window.get(), request);
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);  // the file itself need not exist
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Text file (*.txt)"));
  }

 private:
  TestSettings settings;
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<CExchangeDlg> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::ChooserTest)
#include "ChooserTest.moc"
