// app/RunPage.cpp - a page's run off the window's thread, its controls bound to the page state
#include "app/RunPage.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QThread>

#include "app/Controls.h"
#include "app/PageObserver.h"
#include "app/pages/WindowRules.h"

namespace pexol {

void RunGate::Enter(RunPage& page) {
  running = &page;
  emit BusyChanged(true);
}

void RunGate::Leave() {
  running = nullptr;
  emit BusyChanged(false);
}

RunPage::RunPage(const PageContext& context)
    : context(context), ownState(std::make_unique<pages::PageState>()), state(*ownState) {
  state.onChanged = [this](int field) { Show(field); };
}

RunPage::RunPage(const PageContext& context, std::unique_ptr<pages::Page> page)
    : context(context), model(std::move(page)), state(model->State()) {
  state.onChanged = [this](int field) { Show(field); };
}

RunPage::~RunPage() {
  StopAndWait();
  state.onChanged = nullptr;
}

RunPage::View& RunPage::ViewOf(int field) {
  if (views.size() <= static_cast<std::size_t>(field)) views.resize(field + 1);
  return views[static_cast<std::size_t>(field)];
}

int RunPage::FieldOf(const QObject* control) const {
  for (std::size_t f = 0; f < views.size(); ++f) {
    const View& view = views[f];
    if (view.edit == control || view.box == control || view.group == control ||
        view.number == control)
      return static_cast<int>(f);
  }
  return -1;
}

void RunPage::Show(int field) {
  if (static_cast<std::size_t>(field) < views.size()) {
    const View& view = views[static_cast<std::size_t>(field)];
    const pages::Field& value = state.At(field);
    if (view.edit != nullptr) {
      const QString text = QString::fromStdString(value.text);
      if (view.edit->text() != text) view.edit->setText(text);
    } else if (view.box != nullptr) {
      view.box->setChecked(value.value != 0);
    } else if (view.number != nullptr) {
      view.number->setValue(value.value);
    } else if (view.group != nullptr) {
      if (QAbstractButton* button = view.group->button(value.value)) {
        button->setChecked(true);
      } else if (QAbstractButton* checked = view.group->checkedButton()) {
        // An exclusive group keeps one button ticked; none stands for no value.
        view.group->setExclusive(false);
        checked->setChecked(false);
        view.group->setExclusive(true);
      }
    }
  }
  if (state.DrawsPicture(field)) emit PictureChanged();
}

void RunPage::Bind(QLineEdit* edit, int field) {
  ViewOf(field).edit = edit;
  connect(edit, &QLineEdit::textChanged, this,
          [this, field](const QString& text) { state.SetText(field, text.toStdString()); });
  // Typing makes the name the user's own again: the file dialog's question no longer covers it.
  connect(edit, &QLineEdit::textEdited, this, [this, field] { state.Typed(field); });
  Show(field);
}

void RunPage::Bind(QCheckBox* box, int field) {
  ViewOf(field).box = box;
  connect(box, &QCheckBox::toggled, this, [this, field](bool on) { state.SetFlag(field, on); });
  Show(field);
}

void RunPage::Bind(QButtonGroup* group, int field) {
  ViewOf(field).group = group;
  connect(group, &QButtonGroup::idToggled, this, [this, field](int id, bool on) {
    if (on) state.SetValue(field, id);
  });
  Show(field);
}

void RunPage::Bind(QSpinBox* box, int field) {
  ViewOf(field).number = box;
  connect(box, &QSpinBox::valueChanged, this,
          [this, field](int value) { state.SetValue(field, value); });
  Show(field);
}

QLineEdit* RunPage::AddFileRow(QBoxLayout* into, int labelId, const QString& caption, int editId,
                               int buttonId, const FileDialogRequest& request, const char* key) {
  const int field = state.AddText(key, {}, request.kind == FileDialogKind::SaveAs);
  return AddFileRowOf(into, labelId, caption, editId, buttonId, request, field);
}

QLineEdit* RunPage::AddFileRowOf(QBoxLayout* into, int labelId, const QString& caption, int editId,
                                 int buttonId, const FileDialogRequest& request, int field) {
  const FileRow row = pexol::AddFileRow(this, into, labelId, caption, editId, buttonId);
  QLineEdit* edit = row.edit;
  Bind(edit, field);
  connect(row.chooser, &QPushButton::clicked, this, [this, field, request] {
    const auto path = context.prompts.ChooseFile(this, request);
    if (path) state.SetChosen(field, path->toStdString());
  });
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
  Bind(edit, state.AddText(key, edit->text().toStdString()));
}

void RunPage::Remember(QCheckBox* box, const char* key) {
  Bind(box, state.AddFlag(key, box->isChecked()));
}

void RunPage::Remember(QButtonGroup* group, const char* key) {
  std::vector<int> values;
  for (QAbstractButton* button : group->buttons()) values.push_back(group->id(button));
  Bind(group, state.AddChoice(key, std::move(values), group->checkedId()));
}

void RunPage::Remember(QSpinBox* box, const char* key) {
  Bind(box, state.AddNumber(key, box->minimum(), box->maximum(), box->value()));
}

void RunPage::AddSoftwareBox(QBoxLayout* into, int boxId, int corvaneId, int lumettaId,
                             const char* key) {
  QButtonGroup* software = AddRadioGroup(this);
  AddChoiceBox(this, into, boxId, QStringLiteral("software"), software,
               {{corvaneId, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                {lumettaId, "Lumetta", static_cast<int>(Software::Lumetta)}},
               2);
  Remember(software, key);
  state.SetSoftwareField(FieldOf(software));
}

void RunPage::PictureSearches(QLineEdit* folder) {
  state.PictureSearches(FieldOf(folder));
}

void RunPage::PictureFrom(QLineEdit* source, QButtonGroup* timecode) {
  state.PictureFrom(FieldOf(source), timecode != nullptr ? FieldOf(timecode) : -1);
}

QLineEdit* RunPage::SourceEdit() const {
  const int field = state.SourceField();
  return field >= 0 && static_cast<std::size_t>(field) < views.size()
             ? views[static_cast<std::size_t>(field)].edit
             : nullptr;
}

PictureRequest RunPage::Picture() const {
  return state.Picture();
}

SoftwareChoice RunPage::ChosenSoftware() const {
  return state.ChosenSoftware();
}

int RunPage::ValueOf(const QButtonGroup& group, int none) {
  const int checked = group.checkedId();
  return checked < 0 ? none : checked;
}

void RunPage::Load(QSettings& stored) {
  state.Load(QtSettingsStore(stored), &live);
}

void RunPage::Save(QSettings& stored) const {
  QtSettingsStore store(stored);
  state.Save(store);
}

void RunPage::Start() {
  if (context.gate.Running() != nullptr) return;
  const bool mayReplace = pages::MayReplace(state, [this](const std::string& question) {
    return context.prompts.Question(this, QString::fromStdString(question));
  });
  if (mayReplace) StartUnasked();
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
  const pages::ShownMessage shown = pages::ResultMessage(std::move(ended), state);
  context.prompts.ShowMessage(this, QString::fromStdString(shown.text),
                              shown.exclamation ? MessageIcon::Exclamation : MessageIcon::None);
  progress->setValue(0);
  emit RunEnded();
}

void RunPage::ShowRunning(bool running) {
  // The page's own button turns into Cancel; the gate disables the others.
  runButton->setVisible(!running);
  cancel->setVisible(running);
}

}  // namespace pexol
