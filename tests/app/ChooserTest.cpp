// tests/app/ChooserTest.cpp - the "..." buttons: what they ask for and the one field they fill
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "app/ExchangeDlg.h"
#include "app/FileChooser.h"

namespace pexol {

namespace {

const QStringList editIds = {"1016", "1018", "1020", "1025", "1023", "1074", "1077"};

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
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("extension");
    QTest::newRow("1015") << 0 << "1015"
                          << "1016" << false << "mpj";
    QTest::newRow("1019") << 0 << "1019"
                          << "1018" << true << "txt";
    QTest::newRow("1022") << 1 << "1022"
                          << "1020" << false << "mpj";
    QTest::newRow("1026") << 1 << "1026"
                          << "1025" << false << "txt";
    QTest::newRow("1024") << 1 << "1024"
                          << "1023" << true << "mpj";
    QTest::newRow("1075") << 2 << "1075"
                          << "1074" << false << "mpj";
    QTest::newRow("1078") << 2 << "1078"
                          << "1077" << true << "txt";
  }
  void ChoosingFillsOnlyTheFieldBesideTheButton() {
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, edit);
    QFETCH(bool, save);
    QFETCH(QString, extension);
    window->tabs->setCurrentIndex(page);
    QStringList expected = EditTexts(*window);
    expected[editIds.indexOf(edit)] = "/chosen/file." + extension;
    prompts->answers << "/chosen/file." + extension;

    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(EditTexts(*window), expected);
    const FileDialogRequest& request = prompts->requests.at(0);
    QCOMPARE(request.kind, save ? FileDialogKind::SaveAs : FileDialogKind::Open);
    QCOMPARE(request.defaultExtension, extension);
    QCOMPARE(request.initialName, "*." + extension);
    const QString first = extension == "mpj" ? "Corvane file (*.mpj)" : "Text file (*.txt)";
    QCOMPARE(request.filter, first + ";;all(*.*)");
  }

  void TypedNameWithoutExtensionGetsTheDefaultOne() {
    QTemporaryDir folder;
    const FileChooser& report = FileChoosers().back();  // the "find" page's report
    const auto dialog = MakeFileDialog(window.get(), report.request);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setDirectory(folder.path());
    dialog->show();
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name);
    name->clear();
    QTest::keyClicks(name, "report");
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->selectedFiles(), QStringList{folder.filePath("report.txt")});
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
  }

  void OpenDialogsTakeNewNamesAndStartFiltered() {
    FileDialogRequest request = FileChoosers()[3].request;  // the text source
    request.filter = QStringLiteral("all(*.*);;") + request.filter;
    const auto dialog = MakeFileDialog(window.get(), request);
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);  // the file itself need not exist
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Text file (*.txt)"));
  }

 private:
  std::unique_ptr<FakePrompts> prompts;
  std::unique_ptr<CExchangeDlg> window;
};

}  // namespace pexol

QTEST_MAIN(pexol::ChooserTest)
#include "ChooserTest.moc"
