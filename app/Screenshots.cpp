// app/Screenshots.cpp - renders every page of the window to PNG files for the documentation
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <optional>

#include "app/ExchangeDlg.h"
#include "app/UserPrompts.h"

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

const char* const pageFiles[] = {"mpj-to-txt.png", "txt-to-mpj.png", "find.png", "export.png",
                                 "about.png"};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    QTextStream(stderr) << "usage: pexol-screenshots OUTPUT-FOLDER\n";
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return 2;
  // The pictures show the start state, and the user's own settings stay as they are.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

  NoPrompts prompts;
  pexol::CExchangeDlg window(prompts);
  window.toTextSource = window.toProjectSource = window.findSource = window.exportSource =
      QStringLiteral("/home/user/video/demo.mpj");
  window.toTextDestination = window.toProjectText = QStringLiteral("/home/user/video/demo.txt");
  window.toProjectDestination = QStringLiteral("/home/user/video/demo-edited.mpj");
  window.findSearchFolder = QStringLiteral("/home/user/video");
  window.exportDestination = QStringLiteral("/home/user/video/demo.otio");
  window.UpdateData(false);
  window.show();
  for (int page = 0; page < window.tabs->count(); ++page) {
    window.tabs->setCurrentIndex(page);
    const QString path = folder.filePath(QString::fromLatin1(pageFiles[page]));
    if (!window.grab().save(path)) {
      QTextStream(stderr) << "cannot write " << path << "\n";
      return 1;
    }
  }
  return 0;
}
