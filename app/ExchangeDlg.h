// app/ExchangeDlg.h - the program's window: five pages, the option fields and the run frame
#pragma once

#include <QDialog>
#include <QIcon>
#include <QSet>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "app/MediaFolders.h"
#include "run/RunConversions.h"

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace pexol {

class AboutPage;
class CheckPage;
class PageObserver;
class TimelineView;
class ExportPage;
struct FileChooser;
class ToProjectPage;
class ToTextPage;
class UserPrompts;

/// The one window: a tab control over five pages and the timeline picture of the page in
/// front. It owns every value a run reads and keeps them from one start of the program to the
/// next. A run goes on a worker thread while the window's events are served; the other run
/// buttons wait for it, its page offers Cancel.
class CExchangeDlg final : public QDialog {
  Q_OBJECT

 public:
  /// A software field with no button ticked: the run picks the software that reads the
  /// project, as the command line's "--software auto" does.
  static constexpr int automaticSoftware = -1;

  /// Builds the window in its start state, then brings back the fields and options of the
  /// last session; boxes and file dialogs go through `prompts`, which must outlive the window.
  explicit CExchangeDlg(UserPrompts& prompts, QWidget* parent = nullptr);
  /// Remembers the fields and options for the next start.
  ~CExchangeDlg() override;

  /// true: copies the edits and the check boxes into the fields; false: shows the fields in
  /// them. Radio buttons are not exchanged: a click stores its value at once.
  void UpdateData(bool saveAndValidate = true);
  /// Writes the fields, the options the buttons show and the window's size to the settings.
  void SaveSettings();

  QTabWidget* tabs = nullptr;
  QProgressBar* toTextProgress = nullptr;
  QProgressBar* toProjectProgress = nullptr;
  QProgressBar* findProgress = nullptr;
  QProgressBar* exportProgress = nullptr;
  QString toTextSource;
  QString toTextDestination;
  QString toTextStatus;
  QString toProjectSource;
  QString toProjectText;
  QString toProjectDestination;
  QString toProjectStatus;
  int csvOutput = 0;      ///< 1: the EDL is written as CSV
  int toTextUtf8 = 0;     ///< 1: the text is written as UTF-8
  int toProjectUtf8 = 0;  ///< 1: the text is read as UTF-8
  QString findSource;
  QString findSearchFolder;
  QString findReport;
  QString findStatus;
  QString exportSource;
  QString exportDestination;
  QString exportStatus;
  int currentPage = 0;
  int timecodeMode = 0;  ///< a TimecodeMode value
  /// Software values, one per page, or automaticSoftware.
  int toTextSoftware = automaticSoftware;
  int toProjectSoftware = automaticSoftware;
  int findSoftware = automaticSoftware;
  int exportSoftware = automaticSoftware;
  int exportFormat = 0;    ///< an ExportFormat value
  int exportTimecode = 0;  ///< a TimecodeMode value
  int missingCount = 0;    ///< media files the last check did not find
  QIcon icon;

  /// The tab control's selection changed.
  void OnSelChangeTabs(int index);
  /// The "convert", "check" and "export" buttons.
  void OnToTextConvert();
  void OnToProjectConvert();
  void OnFindCheck();
  void OnExport();
  /// A "..." button: asks for a file and fills only the chooser's own field.
  void Choose(const FileChooser& chooser);
  /// The "media folders..." buttons: opens the dialog; OK keeps what it shows.
  void EditMediaFolders();

  /// Where moved media are looked for, by the check, the export and the picture.
  MediaFolders mediaFolders;
  TimelineView* timeline = nullptr;
  /// True while a run goes on.
  bool Running() const { return running != nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  /// During a run: asks, then stops the run and waits for it before the window closes.
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  using Driver = std::function<RunResult(RunObserver&)>;
  /// What a radio group stands for in the settings.
  struct RadioSetting {
    const char* key;
    QButtonGroup* group;
    int* field;
  };

  void ConnectControls();
  void LoadSettings();
  std::vector<RadioSetting> RadioSettings();
  /// True when the run may write `destinations`: each is new, a device, was chosen in a file
  /// dialog (which asked already), or the user agrees to replace it.
  bool MayReplace(std::initializer_list<QLineEdit*> destinations);
  /// Runs `driver` with the page's status line and bar, then shows its message, naming the
  /// software when it was chosen automatically.
  RunResult RunOnPage(QLineEdit& status, QProgressBar& progress, QPushButton& cancel,
                      std::initializer_list<QLineEdit*> destinations, const Driver& driver);

  /// False when a run goes on and the user wants it to go on.
  bool MayClose();
  /// Shows the picture of the page in front.
  void FollowPage();

  UserPrompts& prompts;
  PageObserver* running = nullptr;
  bool closing = false;
  ToTextPage* toTextPage = nullptr;
  ToProjectPage* toProjectPage = nullptr;
  CheckPage* checkPage = nullptr;
  ExportPage* exportPage = nullptr;
  AboutPage* aboutPage = nullptr;
  /// Edits whose text came from a file dialog and was not typed over since.
  QSet<const QLineEdit*> chosenInDialog;
};

}  // namespace pexol
