// app/MainWindow.h - the program's window: the pages, the timeline picture and what they share
#pragma once

#include <QDialog>
#include <vector>

#include "app/MediaFolders.h"
#include "app/RunPage.h"
#include "app/pages/PageRun.h"
#include "app/pages/WindowRules.h"

class QTabWidget;
class QTimer;

namespace pexol {

class TimelineView;
class UserPrompts;

/// The one window: a tab control over the pages and the timeline picture of the page in
/// front. It holds what the pages share: the media folders, the picture and the rule of one
/// run at a time. Each page keeps its own controls and settings.
class MainWindow final : public QDialog {
  Q_OBJECT

 public:
  /// Builds the window and brings back the settings of the last session; boxes and file
  /// dialogs go through `prompts`, which must outlive the window.
  explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr);
  /// Puts `path` (a project opened from the file manager, the command line or dropped on the
  /// window) into every page's source field; the page in front stays.
  void OpenProject(const QString& path);
  /// Waits for a run still going and remembers the settings for the next start.
  ~MainWindow() override;

  /// Writes every page's settings, the media folders and the window's size.
  void SaveSettings();

  QTabWidget& Tabs() { return *tabs; }
  TimelineView& Timeline() { return *timeline; }
  const MediaFolders& Media() const { return mediaFolders; }
  /// True while a run goes on.
  bool Running() const { return gate.Running() != nullptr; }
  /// The media folders every page's run and picture use: the setting, then the find page's
  /// search folder.
  pages::MediaFolders RunMedia() const;

 signals:
  /// A run ended and its result was shown.
  void RunEnded();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  /// During a run: asks, then stops the run and waits for it before the window closes.
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void AddPage(RunPage* page, const QString& title);
  void LoadSettings();
  /// Writes the window's place and size, so that a window that ends badly keeps them too.
  void SavePlace();
  /// The "media folders..." buttons and a click on a missing clip: opens the dialog, its
  /// Windows folder filled in with `windowsFolder`; OK keeps what it shows.
  void EditMediaFolders(const QString& windowsFolder = {});
  /// False when a run goes on and the user wants it to go on.
  bool MayClose();
  /// Shows the picture of the page in front.
  void FollowPage();
  /// Fills the empty source field of the page in front with the project last named.
  void OfferProject();
  /// The page whose run goes on; null when none does.
  RunPage* RunningPage() const;

  UserPrompts& prompts;
  MediaFolders mediaFolders;
  pages::RunGate gate;
  QTabWidget* tabs = nullptr;
  TimelineView* timeline = nullptr;
  QTimer* placeSaver = nullptr;  ///< writes the place once a move or resize pauses
  std::vector<RunPage*> pages;   ///< owned by the tab control
  pages::ProjectOffer offer;     ///< the project file last named on any page
};

}  // namespace pexol
