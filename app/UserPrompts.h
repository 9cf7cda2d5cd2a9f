// app/UserPrompts.h - the modal boxes the window asks the user through; tests replace them
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "app/pages/FileRequest.h"

class QFileDialog;
class QWidget;

namespace pexol {

enum class MessageIcon { None, Exclamation };
using pages::FileDialogKind;

/// What a file dialog is opened with.
struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  QString defaultExtension;  ///< added to a typed name that has no extension
  QString initialName;       ///< a pattern such as "*.mpj": the list starts showing its matches
  QString filter;            ///< Qt filter text, entries separated by ";;"
};

/// Message boxes and file dialogs, owned by `owner`.
class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  /// A box with the program's caption and an OK button; returns when it is closed.
  virtual void ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) = 0;
  /// A yes/no box whose default answer is No; true when the user answered Yes.
  virtual bool Question(QWidget* owner, const QString& text) = 0;
  /// The full path the user confirmed, or nullopt when the dialog was cancelled. A Folder
  /// request asks for an existing folder and uses nothing else of the request.
  virtual std::optional<QString> ChooseFile(QWidget* owner, const FileDialogRequest& request) = 0;
};

/// The real boxes: QMessageBox and QFileDialog.
class QtUserPrompts final : public UserPrompts {
 public:
  void ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) override;
  bool Question(QWidget* owner, const QString& text) override;
  std::optional<QString> ChooseFile(QWidget* owner, const FileDialogRequest& request) override;
};

/// The file dialog `ChooseFile` runs for Open and SaveAs, not yet shown: open dialogs accept
/// names of files that do not exist, save dialogs ask before an existing file is replaced, and
/// a name typed without an extension gets the one of the filter chosen.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileDialogRequest& request);

/// True when the folder part of `path` exists; an open dialog insists on it.
bool FolderOfPathExists(const QString& path);
/// True for a name with wildcards, which a dialog takes as a pattern, never as a file.
bool IsNamePattern(const QString& fileName);

}  // namespace pexol
