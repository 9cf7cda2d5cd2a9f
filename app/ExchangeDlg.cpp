// app/ExchangeDlg.cpp - the window: start state, page changes, choosers and the run frame
#include "app/ExchangeDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "app/AboutPage.h"
#include "app/CheckPage.h"
#include "app/DialogUnits.h"
#include "app/FileChooser.h"
#include "app/PageObserver.h"
#include "app/ShiftJis.h"
#include "app/ToProjectPage.h"
#include "app/ToTextPage.h"
#include "app/UserPrompts.h"
#include "check/MediaCheck.h"

namespace pexol {

CExchangeDlg::CExchangeDlg(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      icon(ProgramIcon()),
      prompts(prompts) {
  setObjectName(QStringLiteral("102"));
  setWindowTitle(QStringLiteral("pexol Version 2.12"));
  setWindowIcon(icon);
  setFont(DialogFont());  // before any control: dialog units are measured on it
  setSizeGripEnabled(false);
  PlaceInDialogUnits(this, 0, 0, 183, 215);

  tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("1059"));
  PlaceInDialogUnits(tabs, 5, 5, 175, 205);
  for (const char* title : {"mpj to txt", "txt to mpj", "find", "about"})
    tabs->addTab(new QWidget, QString::fromLatin1(title));

  // Created after the tab control, so the pages lie over its display area.
  toTextPage = new ToTextPage(this);
  toProjectPage = new ToProjectPage(this);
  checkPage = new CheckPage(this);
  aboutPage = new AboutPage(this, icon);
  toTextProgress = toTextPage->progress;
  toProjectProgress = toProjectPage->progress;
  findProgress = checkPage->progress;
  ConnectControls();

  OnSelChangeTabs(0);
  // The values mean the first button of each group, yet no button shows checked until the
  // user clicks one.
  timecodeMode = toTextSoftware = toProjectSoftware = findSoftware = 0;
  UpdateData(true);
  findReport = QStringLiteral("nul");
  UpdateData(false);
}

void CExchangeDlg::ConnectControls() {
  connect(tabs, &QTabWidget::currentChanged, this, &CExchangeDlg::OnSelChangeTabs);
  connect(toTextPage->software, &QButtonGroup::idClicked, this,
          [this](int id) { toTextSoftware = id; });
  connect(toTextPage->timecode, &QButtonGroup::idClicked, this,
          [this](int id) { timecodeMode = id; });
  connect(toProjectPage->software, &QButtonGroup::idClicked, this,
          [this](int id) { toProjectSoftware = id; });
  connect(checkPage->software, &QButtonGroup::idClicked, this,
          [this](int id) { findSoftware = id; });
  connect(toTextPage->convert, &QPushButton::clicked, this, &CExchangeDlg::OnToTextConvert);
  connect(toProjectPage->convert, &QPushButton::clicked, this, &CExchangeDlg::OnToProjectConvert);
  connect(checkPage->check, &QPushButton::clicked, this, &CExchangeDlg::OnFindCheck);
  for (const FileChooser& chooser : FileChoosers()) {
    auto* button = findChild<QPushButton*>(QString::number(chooser.buttonId));
    connect(button, &QPushButton::clicked, this, [this, &chooser] { Choose(chooser); });
  }
  // No push button is ever the default one, so Enter in an edit neither closes the window
  // nor starts a run; keyPressEvent lets Enter press a focused button.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
}

void CExchangeDlg::UpdateData(bool saveAndValidate) {
  struct Binding {
    QLineEdit* edit;
    QString* field;
  };
  const Binding bindings[] = {
      {toTextPage->source, &toTextSource},
      {toTextPage->destination, &toTextDestination},
      {toTextPage->status, &toTextStatus},
      {toProjectPage->source, &toProjectSource},
      {toProjectPage->text, &toProjectText},
      {toProjectPage->destination, &toProjectDestination},
      {toProjectPage->status, &toProjectStatus},
      {checkPage->source, &findSource},
      {checkPage->report, &findReport},
      {checkPage->status, &findStatus},
  };
  for (const Binding& binding : bindings) {
    if (saveAndValidate)
      *binding.field = binding.edit->text();
    else if (binding.edit->text() != *binding.field)
      binding.edit->setText(*binding.field);
  }
  if (saveAndValidate)
    csvOutput = toTextPage->csv->isChecked() ? 1 : 0;
  else
    toTextPage->csv->setChecked(csvOutput != 0);
}

void CExchangeDlg::OnSelChangeTabs(int index) {
  UpdateData(true);
  currentPage = index;
  ShowToTextPage(index == 0);
  ShowToProjectPage(index == 1);
  ShowFindPage(index == 2);
  ShowAboutPage(index == 3);
}

void CExchangeDlg::ShowToTextPage(bool show) {
  toTextPage->setVisible(show);
}
void CExchangeDlg::ShowToProjectPage(bool show) {
  toProjectPage->setVisible(show);
}
void CExchangeDlg::ShowFindPage(bool show) {
  checkPage->setVisible(show);
}
void CExchangeDlg::ShowAboutPage(bool show) {
  aboutPage->setVisible(show);
}

void CExchangeDlg::Choose(const FileChooser& chooser) {
  UpdateData(true);
  if (const auto path = prompts.ChooseFile(this, chooser.request)) this->*chooser.field = *path;
  UpdateData(false);
}

void CExchangeDlg::OnToTextConvert() {
  UpdateData(true);
  ToTextJob job{EncodePath(toTextSource), EncodePath(toTextDestination), {}};
  job.options.software = static_cast<Software>(toTextSoftware);
  job.options.timecode = static_cast<TimecodeMode>(timecodeMode);
  job.options.csv = csvOutput != 0;
  RunOnPage(*toTextPage->status, *toTextProgress,
            [&job](RunObserver& observer) { return RunProjectToText(job, observer); });
}

void CExchangeDlg::OnToProjectConvert() {
  UpdateData(true);
  ToProjectJob job{
      EncodePath(toProjectSource), EncodePath(toProjectText), EncodePath(toProjectDestination), {}};
  job.options.software = static_cast<Software>(toProjectSoftware);
  RunOnPage(*toProjectPage->status, *toProjectProgress,
            [&job](RunObserver& observer) { return RunTextToProject(job, observer); });
}

void CExchangeDlg::OnFindCheck() {
  UpdateData(true);
  MediaCheckJob job{EncodePath(findSource), EncodePath(findReport),
                    static_cast<Software>(findSoftware)};
  missingCount = RunOnPage(*checkPage->status, *findProgress, [&job](RunObserver& observer) {
                   return RunMediaCheck(job, observer);
                 }).missingCount;
}

RunResult CExchangeDlg::RunOnPage(QLineEdit& status, QProgressBar& progress, const Driver& driver) {
  PageObserver observer(status, progress);
  const RunResult result = driver(observer);
  observer.Flush();
  UpdateData(true);  // the status fields follow their lines
  prompts.ShowMessage(this, DecodeForDisplay(result.message),
                      result.Completed() ? MessageIcon::None : MessageIcon::Exclamation);
  progress.setValue(0);
  return result;
}

void CExchangeDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
}

}  // namespace pexol
