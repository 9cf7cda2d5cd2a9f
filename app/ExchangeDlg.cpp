// app/ExchangeDlg.cpp - the window: pages, choosers, remembered settings and the run frame
#include "app/ExchangeDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "app/AboutPage.h"
#include "app/CheckPage.h"
#include "app/DisplayText.h"
#include "app/ExportPage.h"
#include "app/FileChooser.h"
#include "app/PageObserver.h"
#include "app/TimelineView.h"
#include "app/ToProjectPage.h"
#include "app/ToTextPage.h"
#include "app/UserPrompts.h"
#include "check/MediaCheck.h"
#include "core/FileIo.h"
#include "core/Version.h"
#include "export/RunExport.h"
#include "media/PathText.h"

namespace pexol {

namespace {

QSettings Settings() {
  return QSettings(QStringLiteral("pexol"), QStringLiteral("pexol"));
}

/// The command line's words for an automatic choice, as a closing paragraph of the message.
void NoteAutomaticSoftware(std::string& message, Software software) {
  while (!message.ends_with("\n\n")) message += '\n';
  message += "Read as \"";
  message += SoftwareName(software);
  message += "\" (chosen automatically).";
}

// The software buttons: neither ticked leaves the choice to the run.
SoftwareChoice ChoiceOf(int chosen) {
  if (chosen == CExchangeDlg::automaticSoftware) return SoftwareChoice::Automatic();
  return SoftwareChoice::Named(static_cast<Software>(chosen));
}

}  // namespace

CExchangeDlg::CExchangeDlg(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      icon(ProgramIcon()),
      prompts(prompts) {
  setObjectName(QStringLiteral("102"));
  setWindowTitle(QStringLiteral("pexol Version ") + QLatin1String(version));
  setWindowIcon(icon);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("1059"));
  layout->addWidget(tabs);
  timeline = new TimelineView(this);
  layout->addWidget(timeline, 1);
  toTextPage = new ToTextPage;
  toProjectPage = new ToProjectPage;
  checkPage = new CheckPage;
  exportPage = new ExportPage;
  aboutPage = new AboutPage(icon);
  tabs->addTab(toTextPage, QStringLiteral("mpj to txt"));
  tabs->addTab(toProjectPage, QStringLiteral("txt to mpj"));
  tabs->addTab(checkPage, QStringLiteral("find"));
  tabs->addTab(exportPage, QStringLiteral("export"));
  tabs->addTab(aboutPage, QStringLiteral("about"));
  toTextProgress = toTextPage->progress;
  toProjectProgress = toProjectPage->progress;
  findProgress = checkPage->progress;
  exportProgress = exportPage->progress;
  ConnectControls();

  // Wide enough at first for a path of some length; the user can widen it further.
  resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 80, 0)));

  // The conversion values mean the first button of each group, yet no button shows checked
  // until the user clicks one; the export page shows its defaults.
  exportPage->format->button(exportFormat)->setChecked(true);
  exportPage->timecode->button(exportTimecode)->setChecked(true);
  findReport = QStringLiteral("nul");
  UpdateData(false);
  LoadSettings();
}

CExchangeDlg::~CExchangeDlg() {
  timeline->Wait();
  SaveSettings();
}

void CExchangeDlg::ConnectControls() {
  connect(tabs, &QTabWidget::currentChanged, this, &CExchangeDlg::OnSelChangeTabs);
  for (const RadioSetting& radio : RadioSettings()) {
    int* field = radio.field;
    connect(radio.group, &QButtonGroup::idClicked, this, [field](int id) { *field = id; });
  }
  connect(toTextPage->convert, &QPushButton::clicked, this, &CExchangeDlg::OnToTextConvert);
  connect(toProjectPage->convert, &QPushButton::clicked, this, &CExchangeDlg::OnToProjectConvert);
  connect(checkPage->check, &QPushButton::clicked, this, &CExchangeDlg::OnFindCheck);
  connect(exportPage->exportButton, &QPushButton::clicked, this, &CExchangeDlg::OnExport);
  connect(checkPage->mediaFolders, &QPushButton::clicked, this, &CExchangeDlg::EditMediaFolders);
  connect(exportPage->mediaFolders, &QPushButton::clicked, this, &CExchangeDlg::EditMediaFolders);
  // The picture follows the page in front: its source (once typing pauses) and its timecode.
  auto* follow = new QTimer(this);
  follow->setSingleShot(true);
  follow->setInterval(300);
  connect(follow, &QTimer::timeout, this, &CExchangeDlg::FollowPage);
  connect(tabs, &QTabWidget::currentChanged, follow, qOverload<>(&QTimer::start));
  for (QLineEdit* source :
       {toTextPage->source, toProjectPage->source, checkPage->source, exportPage->source})
    connect(source, &QLineEdit::textChanged, follow, qOverload<>(&QTimer::start));
  for (QButtonGroup* group : {toTextPage->timecode, exportPage->timecode})
    connect(group, &QButtonGroup::idClicked, follow, qOverload<>(&QTimer::start));
  for (QPushButton* cancel :
       {toTextPage->cancel, toProjectPage->cancel, checkPage->cancel, exportPage->cancel})
    connect(cancel, &QPushButton::clicked, this, [this] {
      if (running != nullptr) running->RequestStop();
    });
  for (const FileChooser& chooser : FileChoosers()) {
    auto* button = findChild<QPushButton*>(QString::number(chooser.buttonId));
    connect(button, &QPushButton::clicked, this, [this, &chooser] { Choose(chooser); });
    // Typing makes the name the user's own again: the file dialog's question no longer
    // covers it.
    auto* edit = findChild<QLineEdit*>(QString::number(chooser.editId));
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { chosenInDialog.remove(edit); });
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
      {checkPage->searchFolder, &findSearchFolder},
      {checkPage->report, &findReport},
      {checkPage->status, &findStatus},
      {exportPage->source, &exportSource},
      {exportPage->destination, &exportDestination},
      {exportPage->status, &exportStatus},
  };
  for (const Binding& binding : bindings) {
    if (saveAndValidate) {
      *binding.field = binding.edit->text();
    } else if (binding.edit->text() != *binding.field) {
      binding.edit->setText(*binding.field);
      chosenInDialog.remove(binding.edit);
    }
  }
  struct Tick {
    QCheckBox* box;
    int* field;
  };
  const Tick ticks[] = {
      {toTextPage->csv, &csvOutput},
      {toTextPage->utf8, &toTextUtf8},
      {toProjectPage->utf8, &toProjectUtf8},
  };
  for (const Tick& tick : ticks) {
    if (saveAndValidate)
      *tick.field = tick.box->isChecked() ? 1 : 0;
    else
      tick.box->setChecked(*tick.field != 0);
  }
}

std::vector<CExchangeDlg::RadioSetting> CExchangeDlg::RadioSettings() {
  return {
      {"toText/software", toTextPage->software, &toTextSoftware},
      {"toText/timecode", toTextPage->timecode, &timecodeMode},
      {"toProject/software", toProjectPage->software, &toProjectSoftware},
      {"find/software", checkPage->software, &findSoftware},
      {"export/software", exportPage->software, &exportSoftware},
      {"export/format", exportPage->format, &exportFormat},
      {"export/timecode", exportPage->timecode, &exportTimecode},
  };
}

namespace {

struct TextSetting {
  const char* key;
  QString CExchangeDlg::*field;
};
constexpr TextSetting textSettings[] = {
    {"toText/source", &CExchangeDlg::toTextSource},
    {"toText/destination", &CExchangeDlg::toTextDestination},
    {"toProject/source", &CExchangeDlg::toProjectSource},
    {"toProject/text", &CExchangeDlg::toProjectText},
    {"toProject/destination", &CExchangeDlg::toProjectDestination},
    {"find/source", &CExchangeDlg::findSource},
    {"find/searchFolder", &CExchangeDlg::findSearchFolder},
    {"find/report", &CExchangeDlg::findReport},
    {"export/source", &CExchangeDlg::exportSource},
    {"export/destination", &CExchangeDlg::exportDestination},
};

struct TickSetting {
  const char* key;
  int CExchangeDlg::*field;
};
constexpr TickSetting tickSettings[] = {
    {"toText/csv", &CExchangeDlg::csvOutput},
    {"toText/utf8", &CExchangeDlg::toTextUtf8},
    {"toProject/utf8", &CExchangeDlg::toProjectUtf8},
};

}  // namespace

void CExchangeDlg::LoadSettings() {
  QSettings settings = Settings();
  for (const TextSetting& text : textSettings)
    this->*text.field = settings.value(QLatin1String(text.key), this->*text.field).toString();
  for (const TickSetting& tick : tickSettings)
    this->*tick.field = settings.value(QLatin1String(tick.key), this->*tick.field).toBool() ? 1 : 0;
  // A button is ticked only for a value it stands for; anything else keeps the start state.
  for (const RadioSetting& radio : RadioSettings()) {
    bool isNumber = false;
    const int id = settings.value(QLatin1String(radio.key)).toInt(&isNumber);
    if (QAbstractButton* button = isNumber ? radio.group->button(id) : nullptr) {
      button->setChecked(true);
      *radio.field = id;
    }
  }
  UpdateData(false);
  mediaFolders = MediaFolders::Load(settings);
  restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
  QTimer::singleShot(0, this, &CExchangeDlg::FollowPage);
}

void CExchangeDlg::SaveSettings() {
  UpdateData(true);
  QSettings settings = Settings();
  for (const TextSetting& text : textSettings)
    settings.setValue(QLatin1String(text.key), this->*text.field);
  for (const TickSetting& tick : tickSettings)
    settings.setValue(QLatin1String(tick.key), this->*tick.field != 0);
  for (const RadioSetting& radio : RadioSettings())
    settings.setValue(QLatin1String(radio.key), radio.group->checkedId());
  mediaFolders.Save(settings);
  settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
}

void CExchangeDlg::OnSelChangeTabs(int index) {
  UpdateData(true);
  currentPage = index;
}

void CExchangeDlg::Choose(const FileChooser& chooser) {
  UpdateData(true);
  const auto path = prompts.ChooseFile(this, chooser.request);
  if (!path) return;
  this->*chooser.field = *path;
  UpdateData(false);
  chosenInDialog.insert(findChild<QLineEdit*>(QString::number(chooser.editId)));
}

bool CExchangeDlg::MayReplace(std::initializer_list<QLineEdit*> destinations) {
  for (QLineEdit* edit : destinations) {
    const QString path = edit->text();
    if (path.isEmpty() || chosenInDialog.contains(edit) || IsNullDevice(EncodePath(path))) continue;
    const QFileInfo info(path);
    // A folder or a device is not replaced; the run says what it makes of it.
    if (!info.exists() || !info.isFile()) continue;
    if (!prompts.Question(this, path + QStringLiteral(" exists. Replace it?"))) return false;
  }
  return true;
}

void CExchangeDlg::OnToTextConvert() {
  UpdateData(true);
  if (!MayReplace({toTextPage->destination})) return;
  ToTextJob job{
      EncodePath(toTextSource), EncodePath(toTextDestination), {}, ChoiceOf(toTextSoftware)};
  job.options.timecode = static_cast<TimecodeMode>(timecodeMode);
  job.options.csv = csvOutput != 0;
  job.options.encoding = toTextUtf8 != 0 ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  RunOnPage(*toTextPage->status, *toTextProgress, *toTextPage->cancel, {toTextPage->destination},
            [&job](RunObserver& observer) { return RunProjectToText(job, observer); });
}

void CExchangeDlg::OnToProjectConvert() {
  UpdateData(true);
  if (!MayReplace({toProjectPage->destination})) return;
  ToProjectJob job{EncodePath(toProjectSource),
                   EncodePath(toProjectText),
                   EncodePath(toProjectDestination),
                   {},
                   ChoiceOf(toProjectSoftware)};
  job.options.encoding = toProjectUtf8 != 0 ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  RunOnPage(*toProjectPage->status, *toProjectProgress, *toProjectPage->cancel,
            {toProjectPage->destination},
            [&job](RunObserver& observer) { return RunTextToProject(job, observer); });
}

void CExchangeDlg::OnFindCheck() {
  UpdateData(true);
  if (!MayReplace({checkPage->report})) return;
  MediaCheckJob job{EncodePath(findSource), EncodePath(findReport), ChoiceOf(findSoftware)};
  job.maps = mediaFolders.EncodedMaps();
  job.searchFolders = mediaFolders.EncodedSearchFolders();
  if (!findSearchFolder.isEmpty()) job.searchFolders.push_back(EncodePath(findSearchFolder));
  missingCount =
      RunOnPage(*checkPage->status, *findProgress, *checkPage->cancel, {checkPage->report},
                [&job](RunObserver& observer) { return RunMediaCheck(job, observer); })
          .MissingCount();
}

void CExchangeDlg::OnExport() {
  UpdateData(true);
  if (!MayReplace({exportPage->destination})) return;
  ExportJob job;
  job.source = EncodePath(exportSource);
  job.destination = EncodePath(exportDestination);
  job.format = static_cast<ExportFormat>(exportFormat);
  job.software = ChoiceOf(exportSoftware);
  job.timecode = static_cast<TimecodeMode>(exportTimecode);
  job.maps = mediaFolders.EncodedMaps();
  job.searchFolders = mediaFolders.EncodedSearchFolders();
  RunOnPage(*exportPage->status, *exportProgress, *exportPage->cancel, {exportPage->destination},
            [&job](RunObserver& observer) { return RunExport(job, observer); });
}

RunResult CExchangeDlg::RunOnPage(QLineEdit& status, QProgressBar& progress, QPushButton& cancel,
                                  std::initializer_list<QLineEdit*> destinations,
                                  const Driver& driver) {
  if (running != nullptr) return RunResult::Failed("another run is going on");
  PageObserver observer(status, progress);
  // One run at a time: the run buttons wait, the page's own turns into Cancel.
  const QList<QPushButton*> runButtons = {toTextPage->convert, toProjectPage->convert,
                                          checkPage->check, exportPage->exportButton};
  QPushButton* runButton = nullptr;
  for (QPushButton* button : runButtons) {
    if (button->parentWidget() == cancel.parentWidget()) runButton = button;
    button->setEnabled(false);
  }
  if (runButton != nullptr) runButton->hide();
  cancel.show();
  running = &observer;

  RunResult result;
  QEventLoop loop;
  std::unique_ptr<QThread> worker(
      QThread::create([&result, &driver, &observer] { result = driver(observer); }));
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  // The window's events go on (paints, Cancel, closing) until the run's thread ends.
  loop.exec();
  worker->wait();

  running = nullptr;
  cancel.hide();
  if (runButton != nullptr) runButton->show();
  for (QPushButton* button : runButtons) button->setEnabled(true);
  observer.Flush();
  UpdateData(true);            // the status fields follow their lines
  if (closing) return result;  // the user closed the window and was asked already
  if (result.Completed()) {
    if (result.chosenSoftware) NoteAutomaticSoftware(result.message, *result.chosenSoftware);
    // The file dialog asked about the file as it was; what this run wrote may be edited
    // before the next run, which has to ask again.
    for (QLineEdit* edit : destinations) chosenInDialog.remove(edit);
    // Warnings (media not found, unreadable search folders) follow the message.
    for (const std::string& warning : result.warnings) result.message += "\n\nwarning: " + warning;
  }
  prompts.ShowMessage(this, DecodeForDisplay(result.message),
                      result.Completed() ? MessageIcon::None : MessageIcon::Exclamation);
  progress.setValue(0);
  return result;
}

void CExchangeDlg::EditMediaFolders() {
  auto* dialog = new MediaFoldersDialog(mediaFolders, prompts, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    mediaFolders = dialog->Folders();
    FollowPage();
  });
  dialog->open();
}

void CExchangeDlg::FollowPage() {
  PictureRequest request;
  int software = automaticSoftware;
  switch (tabs->currentIndex()) {
    case 0:
      request.source = toTextPage->source->text();
      request.timecode = static_cast<TimecodeMode>(std::max(0, toTextPage->timecode->checkedId()));
      software = toTextSoftware;
      break;
    case 1:
      request.source = toProjectPage->source->text();
      software = toProjectSoftware;
      break;
    case 2:
      request.source = checkPage->source->text();
      software = findSoftware;
      break;
    case 3:
      request.source = exportPage->source->text();
      request.timecode = static_cast<TimecodeMode>(std::max(0, exportPage->timecode->checkedId()));
      software = exportSoftware;
      break;
    default:
      return;  // the about page keeps the picture of the page before it
  }
  // Only a plain file is drawn unasked: reading a pipe or a device would take its bytes.
  std::error_code error;
  if (!request.source.isEmpty() &&
      !std::filesystem::is_regular_file(PathOfUtf8(EncodePath(request.source)), error))
    request.source.clear();
  request.software = ChoiceOf(software);
  request.maps = mediaFolders.EncodedMaps();
  request.searchFolders = mediaFolders.EncodedSearchFolders();
  timeline->Show(request);
}

bool CExchangeDlg::MayClose() {
  if (running == nullptr) return true;
  if (!prompts.Question(this, QStringLiteral("A run is going on. Stop it and close the window?")))
    return false;
  closing = true;
  running->RequestStop();
  return true;
}

void CExchangeDlg::closeEvent(QCloseEvent* event) {
  if (!MayClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void CExchangeDlg::reject() {
  if (MayClose()) QDialog::reject();
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
