// app/RunPage.cpp - a page's run off the window's thread, its files and remembered settings
#include "app/RunPage.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QThread>

#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/PageObserver.h"
#include "core/FileIo.h"

namespace pexol {

namespace {

/// The command line's words for an automatic choice, as a closing paragraph of the message.
void NoteAutomaticSoftware(std::string& message, Software software) {
  while (!message.ends_with("\n\n")) message += '\n';
  message += "Read as \"";
  message += SoftwareName(software);
  message += "\" (chosen automatically).";
}

}  // namespace

QSettings StoredSettings() {
  return QSettings(QStringLiteral("pexol"), QStringLiteral("pexol"));
}

void RunGate::Enter(RunPage& page) {
  running = &page;
  emit BusyChanged(true);
}

void RunGate::Leave() {
  running = nullptr;
  emit BusyChanged(false);
}

RunPage::RunPage(const PageContext& context) : context(context) {}

RunPage::~RunPage() {
  StopAndWait();
}

QLineEdit* RunPage::AddFileRow(QBoxLayout* into, int labelId, const QString& caption, int editId,
                               int buttonId, const FileDialogRequest& request, const char* key) {
  const FileRow row = pexol::AddFileRow(this, into, labelId, caption, editId, buttonId);
  QLineEdit* edit = row.edit;
  Remember(edit, key);
  if (request.kind == FileDialogKind::SaveAs) destinations << edit;
  connect(row.chooser, &QPushButton::clicked, this, [this, edit, request] {
    const auto path = context.prompts.ChooseFile(this, request);
    if (!path) return;
    edit->setText(*path);
    chosenInDialog.insert(edit);
  });
  // Typing makes the name the user's own again: the file dialog's question no longer covers it.
  connect(edit, &QLineEdit::textEdited, this, [this, edit] { chosenInDialog.remove(edit); });
  return edit;
}

void RunPage::AddRunRow(QBoxLayout* into, int buttonId, const QString& text, int progressId,
                        int statusId, int cancelId) {
  const RunRow row = pexol::AddRunRow(this, into, buttonId, text, progressId, statusId, cancelId);
  runButton = row.button;
  cancel = row.cancel;
  progress = row.progress;
  status = row.status;
  connect(runButton, &QPushButton::clicked, this, &RunPage::Start);
  connect(cancel, &QPushButton::clicked, this, &RunPage::RequestStop);
  connect(&context.gate, &RunGate::BusyChanged, runButton,
          [button = runButton](bool busy) { button->setEnabled(!busy); });
}

void RunPage::AddMediaFoldersButton(QBoxLayout* into, int buttonId) {
  QPushButton* button = AddButton(this, buttonId, QStringLiteral("media folders..."));
  into->addWidget(button, 0, Qt::AlignRight);
  connect(button, &QPushButton::clicked, this, &RunPage::MediaFoldersWanted);
}

void RunPage::Remember(QLineEdit* edit, const char* key) {
  settings.push_back({key, edit});
  connect(edit, &QLineEdit::textChanged, this,
          [this, at = settings.size() - 1] { Store(settings[at]); });
}

void RunPage::Remember(QCheckBox* box, const char* key) {
  settings.push_back({key, nullptr, box});
  connect(box, &QCheckBox::toggled, this,
          [this, at = settings.size() - 1] { Store(settings[at]); });
}

void RunPage::Remember(QButtonGroup* group, const char* key) {
  settings.push_back({key, nullptr, nullptr, group});
  connect(group, &QButtonGroup::idToggled, this, [this, at = settings.size() - 1](int, bool on) {
    if (on) Store(settings[at]);
  });
}

void RunPage::Remember(QSpinBox* box, const char* key) {
  settings.push_back({key, nullptr, nullptr, nullptr, box});
  connect(box, &QSpinBox::valueChanged, this,
          [this, at = settings.size() - 1] { Store(settings[at]); });
}

void RunPage::Store(const Setting& setting) const {
  if (!loaded) return;
  QSettings stored = StoredSettings();
  WriteTo(stored, setting);
  stored.sync();
}

void RunPage::AddSoftwareBox(QBoxLayout* into, int boxId, int corvaneId, int lumettaId,
                             const char* key) {
  software = AddRadioGroup(this);
  AddChoiceBox(this, into, boxId, QStringLiteral("software"), software,
               {{corvaneId, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {lumettaId, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  Remember(software, key);
  connect(software, &QButtonGroup::idClicked, this, &RunPage::PictureChanged);
}

void RunPage::PictureSearches(QLineEdit* folder) {
  picturedSearchFolder = folder;
  connect(folder, &QLineEdit::textChanged, this, &RunPage::PictureChanged);
}

void RunPage::PictureFrom(QLineEdit* source, QButtonGroup* timecode) {
  picturedSource = source;
  picturedTimecode = timecode;
  connect(source, &QLineEdit::textChanged, this, &RunPage::PictureChanged);
  if (timecode != nullptr)
    connect(timecode, &QButtonGroup::idClicked, this, &RunPage::PictureChanged);
}

PictureRequest RunPage::Picture() const {
  PictureRequest request;
  if (picturedSource != nullptr) request.source = picturedSource->text();
  if (picturedTimecode != nullptr)
    request.timecode = static_cast<TimecodeMode>(ValueOf(*picturedTimecode));
  request.software = ChosenSoftware();
  if (picturedSearchFolder != nullptr && !picturedSearchFolder->text().isEmpty())
    request.searchFolders.push_back(EncodePath(picturedSearchFolder->text()));
  return request;
}

SoftwareChoice RunPage::ChosenSoftware() const {
  const int chosen = software != nullptr ? software->checkedId() : -1;
  if (chosen < 0) return SoftwareChoice::Automatic();
  return SoftwareChoice::Named(static_cast<Software>(chosen));
}

int RunPage::ValueOf(const QButtonGroup& group, int none) {
  const int checked = group.checkedId();
  return checked < 0 ? none : checked;
}

void RunPage::Load(const QSettings& stored) {
  loaded = false;
  for (const Setting& setting : settings) {
    const QString key = QLatin1String(setting.key);
    if (setting.edit != nullptr) {
      setting.edit->setText(stored.value(key, setting.edit->text()).toString());
      chosenInDialog.remove(setting.edit);
    } else if (setting.box != nullptr) {
      setting.box->setChecked(stored.value(key, setting.box->isChecked()).toBool());
    } else if (setting.number != nullptr) {
      // The box keeps a stored number inside its range.
      setting.number->setValue(stored.value(key, setting.number->value()).toInt());
    } else {
      // A button is ticked only for a value it stands for; anything else keeps the start state.
      bool isNumber = false;
      const int id = stored.value(key).toInt(&isNumber);
      if (QAbstractButton* button = isNumber ? setting.group->button(id) : nullptr)
        button->setChecked(true);
    }
  }
  loaded = true;
}

void RunPage::Save(QSettings& stored) const {
  for (const Setting& setting : settings) WriteTo(stored, setting);
}

void RunPage::WriteTo(QSettings& stored, const Setting& setting) const {
  const QString key = QLatin1String(setting.key);
  if (setting.edit != nullptr)
    stored.setValue(key, setting.edit->text());
  else if (setting.box != nullptr)
    stored.setValue(key, setting.box->isChecked());
  else if (setting.number != nullptr)
    stored.setValue(key, setting.number->value());
  else
    stored.setValue(key, setting.group->checkedId());
}

bool RunPage::MayReplace() {
  for (QLineEdit* edit : destinations) {
    const QString path = edit->text();
    if (path.isEmpty() || chosenInDialog.contains(edit) || IsNullDevice(EncodePath(path))) continue;
    const QFileInfo info(path);
    // A folder or a device is not replaced; the run says what it makes of it.
    if (!info.exists() || !info.isFile()) continue;
    if (!context.prompts.Question(this, path + QStringLiteral(" exists. Replace it?")))
      return false;
  }
  return true;
}

void RunPage::Start() {
  if (context.gate.Running() == nullptr && MayReplace()) StartUnasked();
}

void RunPage::StartUnasked() {
  if (context.gate.Running() != nullptr) return;
  Driver driver = MakeRun();
  observer = std::make_unique<PageObserver>(*status, *progress);
  quiet = false;
  context.gate.Enter(*this);
  ShowRunning(true);
  worker.reset(QThread::create([this, driver = std::move(driver), watching = observer.get()] {
    result = driver(*watching);
  }));
  // Queued: the end is shown by the window's thread once the worker has returned. A call
  // that arrives after StopAndWait finished this run belongs to no run.
  connect(
      worker.get(), &QThread::finished, this,
      [this, run = ++runs] {
        if (Running() && run == runs) Finish();
      },
      Qt::QueuedConnection);
  worker->start();
}

void RunPage::RequestStop() {
  if (observer) observer->RequestStop();
}

void RunPage::StopAndWait() {
  if (!Running()) return;
  RequestStop();
  quiet = true;
  worker->wait();
  Finish();
}

void RunPage::Finish() {
  worker->wait();
  worker.reset();
  observer->Flush();
  observer.reset();
  ShowRunning(false);
  context.gate.Leave();
  RunResult ended = std::move(result);
  result = {};
  if (quiet) return;  // the window is closing; the user was asked already
  if (ended.Completed()) {
    if (ended.chosenSoftware) NoteAutomaticSoftware(ended.message, *ended.chosenSoftware);
    // The file dialog asked about the file as it was; what this run wrote may be edited
    // before the next run, which has to ask again.
    for (QLineEdit* edit : destinations) chosenInDialog.remove(edit);
    // Warnings (media not found, unreadable search folders) follow the message.
    for (const std::string& warning : ended.warnings) ended.message += "\n\nwarning: " + warning;
  }
  context.prompts.ShowMessage(this, DecodeForDisplay(ended.message),
                              ended.Completed() ? MessageIcon::None : MessageIcon::Exclamation);
  progress->setValue(0);
  emit RunEnded();
}

void RunPage::ShowRunning(bool running) {
  // The page's own button turns into Cancel; the gate disables the others.
  runButton->setVisible(!running);
  cancel->setVisible(running);
}

}  // namespace pexol
