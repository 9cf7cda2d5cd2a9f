// app/ExchangeDlg.cpp - the window: pages, choosers, remembered settings and the run frame
#include "app/ExchangeDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AboutPage.h"
#include "app/CheckPage.h"
#include "app/ExportPage.h"
#include "app/FileChooser.h"
#include "app/PageObserver.h"
#include "app/ShiftJis.h"
#include "app/ToProjectPage.h"
#include "app/ToTextPage.h"
#include "app/UserPrompts.h"
#include "check/MediaCheck.h"
#include "core/FileIo.h"
#include "core/Version.h"
#include "export/RunExport.h"

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
  restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
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
  RunOnPage(*toTextPage->status, *toTextProgress, {toTextPage->destination},
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
  RunOnPage(*toProjectPage->status, *toProjectProgress, {toProjectPage->destination},
            [&job](RunObserver& observer) { return RunTextToProject(job, observer); });
}

void CExchangeDlg::OnFindCheck() {
  UpdateData(true);
  if (!MayReplace({checkPage->report})) return;
  MediaCheckJob job{EncodePath(findSource), EncodePath(findReport), ChoiceOf(findSoftware)};
  if (!findSearchFolder.isEmpty()) job.searchFolders.push_back(EncodePath(findSearchFolder));
  missingCount = RunOnPage(*checkPage->status, *findProgress, {checkPage->report},
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
  RunOnPage(*exportPage->status, *exportProgress, {exportPage->destination},
            [&job](RunObserver& observer) { return RunExport(job, observer); });
}

RunResult CExchangeDlg::RunOnPage(QLineEdit& status, QProgressBar& progress,
                                  std::initializer_list<QLineEdit*> destinations,
                                  const Driver& driver) {
  PageObserver observer(status, progress);
  RunResult result = driver(observer);
  observer.Flush();
  UpdateData(true);  // the status fields follow their lines
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

void CExchangeDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
}

}  // namespace pexol
