// app/UserPrompts.cpp - the Qt message box and file dialog behind UserPrompts
#include "app/UserPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/Controls.h"
#include "core/Translation.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

QString Caption() {
  return QString::fromUtf8(messageCaption.data(), static_cast<qsizetype>(messageCaption.size()));
}

}  // namespace

void QtUserPrompts::ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  Caption(), text, QMessageBox::Ok, owner);
  box.exec();
}

bool QtUserPrompts::Question(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question, Caption(), text, QMessageBox::Yes | QMessageBox::No,
                  owner);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserPrompts::ChooseFile(QWidget* owner, const FileDialogRequest& request) {
  if (request.kind == FileDialogKind::Folder) {
    const QString folder = QFileDialog::getExistingDirectory(owner);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(folder);
  }
  const auto dialog = MakeFileDialog(owner, request);
  while (dialog->exec() == QDialog::Accepted) {
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    const QString path = QDir::toNativeSeparators(chosen.first());
    const QFileInfo info(path);
    if (IsNamePattern(info.fileName())) {  // a pattern names no file: ask again in its folder
      dialog->setDirectory(info.absolutePath());
      continue;
    }
    if (request.kind == FileDialogKind::SaveAs || FolderOfPathExists(path)) return path;
    ShowMessage(
        dialog.get(),
        QString::fromStdString(Say("The folder does not exist:\n\n{0}", path.toStdString())),
        MessageIcon::Exclamation);
  }
  return std::nullopt;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileDialogRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(owner, QString(), QString(), request.filter);
  const bool save = request.kind == FileDialogKind::SaveAs;
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // An open dialog names a file that need not exist yet; the run finds out whether it opens.
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(request.defaultExtension);
  // The list starts filtered by the initial pattern. The pattern is not put in the name box:
  // Qt's dialog would return it as the chosen file.
  for (const QString& filter : dialog->nameFilters()) {
    if (filter.contains(QLatin1Char('(') + request.initialName + QLatin1Char(')'))) {
      dialog->selectNameFilter(filter);
      break;
    }
  }
  // Several formats share one dialog; a bare name takes the extension of the one shown.
  QFileDialog* shown = dialog.get();
  const QString fallback = request.defaultExtension;
  QObject::connect(
      shown, &QFileDialog::filterSelected, shown, [shown, fallback](const QString& filter) {
        const QStringList patterns = filter.section(QLatin1Char('('), -1)
                                         .section(QLatin1Char(')'), 0, 0)
                                         .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool one = patterns.size() == 1 && patterns[0].startsWith(QStringLiteral("*.")) &&
                         !IsNamePattern(patterns[0].mid(2));
        shown->setDefaultSuffix(one ? patterns[0].mid(2) : fallback);
      });
  return dialog;
}

bool FolderOfPathExists(const QString& path) {
  return QFileInfo(path).absoluteDir().exists();
}

bool IsNamePattern(const QString& fileName) {
  return fileName.contains(QLatin1Char('*')) || fileName.contains(QLatin1Char('?'));
}

}  // namespace pexol
