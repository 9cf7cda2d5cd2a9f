// app/ExchangeDlg.h - the program's window: four pages, the option fields and the run frame
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <functional>

#include "convert/RunFrame.h"

class QLineEdit;
class QProgressBar;
class QTabWidget;

namespace pexol {

class AboutPage;
class CheckPage;
struct FileChooser;
class ToProjectPage;
class ToTextPage;
class UserPrompts;

/// The one window: a tab control over four pages whose controls all live in this dialog.
/// It owns every value a run reads; a run blocks it until its message box is closed.
class CExchangeDlg final : public QDialog {
  Q_OBJECT

 public:
  /// Builds the window and brings it to its start state; boxes and file dialogs go through
  /// `prompts`, which must outlive the window.
  explicit CExchangeDlg(UserPrompts& prompts, QWidget* parent = nullptr);

  /// true: copies the edits and the check box into the fields; false: shows the fields in
  /// them. Radio buttons are not exchanged: a click stores its value at once.
  void UpdateData(bool saveAndValidate = true);

  QProgressBar* findProgress = nullptr;
  QTabWidget* tabs = nullptr;
  QProgressBar* toProjectProgress = nullptr;
  QProgressBar* toTextProgress = nullptr;
  QString toTextSource;
  QString toTextDestination;
  QString toTextStatus;
  QString toProjectSource;
  QString toProjectText;
  QString toProjectDestination;
  QString toProjectStatus;
  int csvOutput = 0;  ///< 1: the EDL is written as CSV
  QString findSource;
  QString findReport;
  QString findStatus;
  int currentPage = 0;
  int timecodeMode = 0;    ///< a TimecodeMode value
  int toTextSoftware = 0;  ///< Software values, one per page
  int toProjectSoftware = 0;
  int findSoftware = 0;
  int missingCount = 0;  ///< media files the last check did not find
  QIcon icon;

  /// The tab control's selection changed: show the selected page, hide the others.
  void OnSelChangeTabs(int index);
  /// The "convert" and "check" buttons.
  void OnToTextConvert();
  void OnToProjectConvert();
  void OnFindCheck();
  /// A "..." button: asks for a file and fills only the chooser's own field.
  void Choose(const FileChooser& chooser);

  void ShowToTextPage(bool show);
  void ShowToProjectPage(bool show);
  void ShowFindPage(bool show);
  void ShowAboutPage(bool show);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  using Driver = std::function<RunResult(RunObserver&)>;
  /// Runs `driver` with the page's status line and bar, then shows its message.
  RunResult RunOnPage(QLineEdit& status, QProgressBar& progress, const Driver& driver);
  void ConnectControls();

  UserPrompts& prompts;
  ToTextPage* toTextPage = nullptr;
  ToProjectPage* toProjectPage = nullptr;
  CheckPage* checkPage = nullptr;
  AboutPage* aboutPage = nullptr;
};

}  // namespace pexol
