// app/MediaFolders.h - where moved media are looked for: map rules and search folders, remembered
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "app/pages/MediaFolders.h"

class QLineEdit;
class QListWidget;
class QSettings;

namespace pexol {

class UserPrompts;

/// The page layer's media folders in Qt's strings, for the dialog and the render page.
struct MediaFolders {
  QStringList maps;  ///< "PREFIX=FOLDER": Windows folder PREFIX is the local FOLDER
  QStringList searchFolders;

  /// Reads the setting as the page layer does.
  static MediaFolders Load(QSettings& settings);
  void Save(QSettings& settings) const;
  pages::MediaFolders Shared() const;
  static MediaFolders Of(const pages::MediaFolders& folders);
};

/// A small dialog that edits the media folders: a rule is a Windows folder and a local
/// folder (with a chooser); search folders are added with a chooser. Its lists are the
/// setting; `Folders` reads them back.
class MediaFoldersDialog final : public QDialog {
  Q_OBJECT

 public:
  MediaFoldersDialog(const MediaFolders& folders, UserPrompts& prompts, QWidget* parent);
  MediaFolders Folders() const;

  QLineEdit* windowsFolder = nullptr;
  QLineEdit* localFolder = nullptr;
  QListWidget* maps = nullptr;
  QListWidget* searchFolders = nullptr;

 private:
  void AddMap();
  UserPrompts& prompts;
};

}  // namespace pexol
