// app/Screenshots.cpp - renders every page of the window, and the demo's timeline picture, to
// files for the documentation
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/Application.h"
#include "app/DisplayText.h"
#include "app/MainWindow.h"
#include "app/TimelineView.h"
#include "app/UserPrompts.h"
#include "app/pages/ControlIds.h"
#include "core/RunObserver.h"
#include "core/Translation.h"
#include "picture/RunPicture.h"

namespace {

// The tool never opens a box; the window is only drawn.
class NoPrompts final : public pexol::UserPrompts {
 public:
  void ShowMessage(QWidget*, const QString&, pexol::MessageIcon) override {}
  bool Question(QWidget*, const QString&) override { return false; }
  std::optional<QString> ChooseFile(QWidget*, const pexol::FileDialogRequest&) override {
    return std::nullopt;
  }
};

/// "mpj to txt" is drawn to "mpj-to-txt.png", or "mpj-to-txt-ja.png" in Japanese.
QString FileOfPage(const QString& title, const QString& language) {
  QString name = QString(title).replace(QLatin1Char(' '), QLatin1Char('-'));
  if (!language.isEmpty()) name += QLatin1Char('-') + language;
  return name + QStringLiteral(".png");
}

/// The pages' titles in English, which name their pictures in every language.
QStringList EnglishTitles(pexol::UserPrompts& prompts) {
  pexol::MainWindow window(prompts);
  QStringList titles;
  for (int page = 0; page < window.Tabs().count(); ++page) titles << window.Tabs().tabText(page);
  return titles;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3 && argc != 4) {
    QTextStream(stderr) << "usage: pexol-screenshots OUTPUT-FOLDER DEMO.mpj [LANGUAGE]\n";
    return 2;
  }
  // A language ("ja") draws the pages in it, beside the English ones; the timeline's pictures
  // are drawn in English only.
  const QString language = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return 2;
  // The pictures show the start state, and the user's own settings stay as they are.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

  NoPrompts prompts;
  const QStringList titles = EnglishTitles(prompts);
  QTranslator qtTexts;
  if (!language.isEmpty()) {
    auto catalogue = pexol::FindCatalogue(
        language.toStdString(),
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()));
    if (!catalogue) {
      QTextStream(stderr) << "no catalogue for " << language << "\n";
      return 1;
    }
    pexol::UseCatalogue(std::move(catalogue));
    pexol::UseQtTranslations(qtTexts, language.toStdString());
  }
  pexol::MainWindow window(prompts);
  using namespace pexol::ids;
  const std::pair<int, const char*> fields[] = {{toTextSource, "demo.mpj"},
                                                {toTextDestination, "demo.txt"},
                                                {toProjectSource, "demo.mpj"},
                                                {toProjectText, "demo.txt"},
                                                {toProjectDestination, "demo-edited.mpj"},
                                                {findSource, "demo.mpj"},
                                                {findSearchFolder, ""},
                                                {exportSource, "demo.mpj"},
                                                {exportDestination, "demo.otio"},
                                                {renderSource, "demo.mpj"},
                                                {renderDestination, "demo.mp4"}};
  for (const auto& [id, name] : fields) {
    QString path = QStringLiteral("/home/user/video");
    if (*name != '\0') path += QLatin1Char('/') + QLatin1String(name);
    window.findChild<QLineEdit*>(QString::number(id))->setText(path);
  }
  window.show();
  QTabWidget& tabs = window.Tabs();
  for (int page = 0; page < tabs.count(); ++page) {
    tabs.setCurrentIndex(page);
    const QString path = folder.filePath(FileOfPage(titles.value(page), language));
    if (!window.grab().save(path)) {
      QTextStream(stderr) << "cannot write " << path << "\n";
      return 1;
    }
  }

  if (!language.isEmpty()) return 0;

  // The demo project's timeline: the SVG the command line writes, and the window showing it.
  const QString demo = QString::fromLocal8Bit(argv[2]);
  pexol::PictureJob job;
  job.source = pexol::EncodePath(demo);
  job.destination = pexol::EncodePath(folder.filePath(QStringLiteral("timeline.svg")));
  pexol::NullObserver quiet;
  if (!pexol::RunPicture(job, quiet).Completed()) return 1;

  QEventLoop drawn;
  QObject::connect(&window.Timeline(), &pexol::TimelineView::PictureShown, &drawn,
                   &QEventLoop::quit);
  QTimer::singleShot(10000, &drawn, &QEventLoop::quit);
  tabs.setCurrentIndex(3);
  // Named from its own folder, so the picture shows no path of the machine that made it.
  const QFileInfo demoFile(demo);
  const QString picture = folder.absoluteFilePath(QStringLiteral("timeline.png"));
  QDir::setCurrent(demoFile.absolutePath());
  window.findChild<QLineEdit*>(QString::number(exportSource))->setText(demoFile.fileName());
  drawn.exec();
  QApplication::processEvents();
  window.resize(window.width(), window.sizeHint().height());
  QApplication::processEvents();
  if (!window.grab().save(picture)) return 1;
  return 0;
}
