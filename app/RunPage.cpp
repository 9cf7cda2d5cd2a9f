// app/RunPage.cpp - a page's parts as Qt widgets, bound to the page state, and its run shown
#include "app/RunPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/CollectDialog.h"
#include "app/Controls.h"
#include "app/FileRequests.h"
#include "app/pages/FindPage.h"
#include "app/pages/MediaFolders.h"

namespace pexol {

RunPage::RunPage(const PageContext& context, std::unique_ptr<pages::Page> page)
    : context(context),
      model(std::move(page)),
      state(model->State()),
      run(*model, context.gate, *this) {
  state.onChanged = [this](int field) { ShowField(field); };
  run.onEnded = [this] { emit RunEnded(); };
}

RunPage::~RunPage() {
  run.StopAndWait();
  state.onChanged = nullptr;
}

void RunPage::AddParts(QBoxLayout* column, const std::function<void(QBoxLayout*)>& beforeStretch) {
  QGridLayout* boxAbove = nullptr;
  int rowsAbove = 0;
  bool stretched = false;
  for (const pages::FormPart& part : model->Parts()) {
    switch (part.kind) {
      case pages::PartKind::Choices: {
        std::vector<RadioChoice> choices;
        for (const pages::Choice& choice : part.choices)
          choices.push_back({choice.id, choice.text.c_str(), choice.value});
        QButtonGroup* group = AddRadioGroup(this);
        boxAbove = AddChoiceBox(this, column, part.id, QString::fromStdString(part.text), group,
                                std::span<const RadioChoice>(choices), part.columns);
        rowsAbove = (static_cast<int>(choices.size()) + part.columns - 1) / part.columns;
        if (part.enabled) ruled.push_back({boxAbove->parentWidget(), &part});
        Bind(group, part.field);
        break;
      }
      case pages::PartKind::Check: {
        QCheckBox* box = AddCheckBox(this, part.id, QString::fromStdString(part.text));
        if (part.inBoxAbove && boxAbove != nullptr)
          boxAbove->addWidget(box, rowsAbove++, 0, Qt::AlignLeft);
        else
          column->addWidget(box, 0, Qt::AlignLeft);
        Bind(box, part.field);
        break;
      }
      case pages::PartKind::Stretch:
        if (!stretched && beforeStretch) beforeStretch(column);
        stretched = true;
        column->addStretch(1);
        break;
      case pages::PartKind::File:
        AddFileRow(column, part);
        break;
      case pages::PartKind::MediaFolders:
        AddMediaFoldersButton(column, part);
        break;
      case pages::PartKind::Run:
        AddRunRow(column, part);
        break;
      case pages::PartKind::Action:
        AddAction(column, part);
        break;
    }
  }
  ShowEnabled();
}

void RunPage::ShowEnabled() {
  for (const auto& [widget, part] : ruled) widget->setEnabled(part->enabled(state));
}

RunPage::View& RunPage::ViewOf(int field) {
  if (views.size() <= static_cast<std::size_t>(field)) views.resize(field + 1);
  return views[static_cast<std::size_t>(field)];
}

void RunPage::ShowField(int field) {
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
  ShowEnabled();
  if (state.DrawsPicture(field)) emit PictureChanged();
}

void RunPage::Bind(QLineEdit* edit, int field) {
  ViewOf(field).edit = edit;
  connect(edit, &QLineEdit::textChanged, this,
          [this, field](const QString& text) { state.SetText(field, text.toStdString()); });
  // Typing makes the name the user's own again: the file dialog's question no longer covers it.
  connect(edit, &QLineEdit::textEdited, this, [this, field] { state.Typed(field); });
  ShowField(field);
}

void RunPage::Bind(QCheckBox* box, int field) {
  ViewOf(field).box = box;
  connect(box, &QCheckBox::toggled, this, [this, field](bool on) { state.SetFlag(field, on); });
  ShowField(field);
}

void RunPage::Bind(QButtonGroup* group, int field) {
  ViewOf(field).group = group;
  connect(group, &QButtonGroup::idToggled, this, [this, field](int id, bool on) {
    if (on) state.SetValue(field, id);
  });
  ShowField(field);
}

void RunPage::Bind(QSpinBox* box, int field) {
  ViewOf(field).number = box;
  const pages::Field& number = state.At(field);
  box->setRange(number.min, number.max);
  connect(box, &QSpinBox::valueChanged, this,
          [this, field](int value) { state.SetValue(field, value); });
  ShowField(field);
}

void RunPage::AddFileRow(QBoxLayout* into, const pages::FormPart& part) {
  const FileRow row = pexol::AddFileRow(this, into, part.labelId, QString::fromStdString(part.text),
                                        part.editId, part.chooserId);
  Bind(row.edit, part.field);
  connect(row.chooser, &QPushButton::clicked, this,
          [this, field = part.field, request = ToQt(part.request)] {
            const auto path = context.prompts.ChooseFile(this, request);
            if (path) state.SetChosen(field, path->toStdString());
          });
}

void RunPage::AddRunRow(QBoxLayout* into, const pages::FormPart& part) {
  const RunRow row = pexol::AddRunRow(this, into, part.id, QString::fromStdString(part.text),
                                      part.progressId, part.statusId, part.cancelId);
  runButton = row.button;
  cancel = row.cancel;
  progress = row.progress;
  status = row.status;
  connect(runButton, &QPushButton::clicked, this, &RunPage::Start);
  connect(cancel, &QPushButton::clicked, this, &RunPage::RequestStop);
}

void RunPage::AddMediaFoldersButton(QBoxLayout* into, const pages::FormPart& part) {
  QPushButton* button = AddButton(this, part.id, QString::fromStdString(part.text));
  into->addWidget(button, 0, Qt::AlignRight);
  connect(button, &QPushButton::clicked, this, &RunPage::MediaFoldersWanted);
}

void RunPage::AddAction(QBoxLayout* into, const pages::FormPart& part) {
  QPushButton* button = AddButton(this, part.id, QString::fromStdString(part.text));
  into->addWidget(button, 0, Qt::AlignRight);
  connect(button, &QPushButton::clicked, this, &RunPage::Act);
  actions.push_back(button);
}

void RunPage::Act() {
  auto* find = dynamic_cast<pages::FindPage*>(model.get());
  if (find == nullptr) return;
  auto* dialog = new CollectDialog(this, context.prompts);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, find, dialog] {
    find->Collect(dialog->Folder().toStdString(), dialog->Formats(), dialog->Link(),
                  dialog->Transcode());
    StartUnasked();  // the collect replaces nothing: it refuses a folder that is not empty
  });
  dialog->open();
}

void RunPage::SetBusy(bool busy) {
  if (runButton != nullptr) runButton->setEnabled(!busy);
  for (QPushButton* action : actions) action->setEnabled(!busy);
}

QLineEdit* RunPage::SourceEdit() const {
  const int field = state.SourceField();
  return field >= 0 && static_cast<std::size_t>(field) < views.size()
             ? views[static_cast<std::size_t>(field)].edit
             : nullptr;
}

void RunPage::Load(QSettings& stored) {
  model->Load(QtSettingsStore(stored), &live);
}

void RunPage::Save(QSettings& stored) const {
  QtSettingsStore store(stored);
  state.Save(store);
}

void RunPage::Start() {
  run.Start(context.media());
}

void RunPage::StartUnasked() {
  run.StartUnasked(context.media());
}

void RunPage::Wake() {
  // Queued to the window's thread; a call still waiting when the page goes is dropped with it.
  QMetaObject::invokeMethod(
      this, [this] { run.Deliver(); }, Qt::QueuedConnection);
}

pages::RunShown RunPage::Shown() const {
  return {status->text().toStdString(), progress->value(), progress->maximum()};
}

void RunPage::Show(const pages::RunShown& shown) {
  if (progress->maximum() != shown.total) progress->setRange(0, shown.total);
  progress->setValue(shown.done);
  status->setText(QString::fromStdString(shown.status));
  status->setCursorPosition(0);
}

void RunPage::ShowRunning(bool running) {
  // The page's own button turns into Cancel; the gate disables the others.
  runButton->setVisible(!running);
  cancel->setVisible(running);
}

bool RunPage::Ask(const std::string& question) {
  return context.prompts.Question(this, QString::fromStdString(question));
}

void RunPage::ShowResult(const pages::ShownMessage& message) {
  context.prompts.ShowMessage(this, QString::fromStdString(message.text),
                              message.exclamation ? MessageIcon::Exclamation : MessageIcon::None);
  progress->setValue(0);
}

}  // namespace pexol
