// app/RunPage.h - a page of the page layer shown with Qt widgets: its controls bound to its
// fields, and its run shown
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/QtSettingsStore.h"
#include "app/TimelineView.h"
#include "app/UserPrompts.h"
#include "app/pages/Page.h"
#include "app/pages/PageRun.h"

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QSpinBox;

namespace pexol {

/// What the window shares with its pages; every piece outlives them.
struct PageContext {
  UserPrompts& prompts;
  pages::RunGate& gate;
  std::function<pages::MediaFolders()> media;  ///< the window's, read when a run starts
};

/// The Qt view of a page layer page: each control shows a field of its state and sets it, and
/// the page's `PageRun` runs its job; this view posts its wakes to the window's thread and shows
/// the status line, bar, Cancel, questions and messages. The run button returns at once; the
/// end arrives as a queued call.
class RunPage : public QWidget, private pages::RunView {
  Q_OBJECT

 public:
  RunPage(const PageContext& context, std::unique_ptr<pages::Page> page);
  /// Stops a run still going and waits for it.
  ~RunPage() override;

  /// The run button: starts the page's job unless another run goes on or the user keeps a
  /// destination.
  void Start();
  /// Starts the page's job without asking about its destinations (a run that replaces none).
  void StartUnasked();
  bool Running() const { return run.Running(); }
  /// Asks the run to stop at its next step.
  void RequestStop() { run.RequestStop(); }
  /// Stops the run and waits for its thread; the result is not shown. For closing the window.
  void StopAndWait() { run.StopAndWait(); }
  /// Another page's run goes on (or ended): the run buttons wait.
  void SetBusy(bool busy);

  /// Brings back the controls remembered under the page's keys; a value no control stands
  /// for leaves the control as it is. From then on each control's value is written to the
  /// stored settings as soon as it changes, so that a window that ends badly loses nothing.
  void Load(QSettings& settings);
  void Save(QSettings& settings) const;

  /// The project file field the picture follows; null on a page without one.
  QLineEdit* SourceEdit() const;
  const pages::PageState& State() const { return state; }

 signals:
  /// The project or the way it is drawn changed.
  void PictureChanged();
  /// A run ended and its result was shown.
  void RunEnded();
  /// The page's "media folders..." button was clicked.
  void MediaFoldersWanted();

 protected:
  /// The page's parts top to bottom in `column`; `beforeStretch` adds what the page lays out
  /// itself above its first stretch.
  void AddParts(QBoxLayout* column, const std::function<void(QBoxLayout*)>& beforeStretch = {});
  /// The control shows the state's field and sets it.
  void Bind(QLineEdit* edit, int field);
  void Bind(QCheckBox* box, int field);
  void Bind(QButtonGroup* group, int field);
  void Bind(QSpinBox* box, int field);

  const PageContext context;
  const std::unique_ptr<pages::Page> model;
  pages::PageState& state;

 private:
  /// The control of each field; one of them is set.
  struct View {
    QLineEdit* edit = nullptr;
    QCheckBox* box = nullptr;
    QButtonGroup* group = nullptr;
    QSpinBox* number = nullptr;
  };

  void AddFileRow(QBoxLayout* into, const pages::FormPart& part);
  void AddRunRow(QBoxLayout* into, const pages::FormPart& part);
  void AddMediaFoldersButton(QBoxLayout* into, const pages::FormPart& part);
  void AddAction(QBoxLayout* into, const pages::FormPart& part);
  /// The page's other button: "collect..." on the find page.
  void Act();

  /// Shows the state's `field` in its control.
  void ShowField(int field);
  /// Greys out the parts whose rule does not hold as the fields now stand.
  void ShowEnabled();
  View& ViewOf(int field);

  // The run's view.
  void Wake() override;
  pages::RunShown Shown() const override;
  void Show(const pages::RunShown& shown) override;
  void ShowRunning(bool running) override;
  bool Ask(const std::string& question) override;
  void ShowResult(const pages::ShownMessage& message) override;

  std::vector<View> views;  ///< by field
  /// The parts that can be used only at times, with their widgets.
  std::vector<std::pair<QWidget*, const pages::FormPart*>> ruled;
  QtSettingsStore live;  ///< written as the fields change, once they were loaded
  QPushButton* runButton = nullptr;
  QPushButton* cancel = nullptr;
  QProgressBar* progress = nullptr;
  QLineEdit* status = nullptr;
  std::vector<QPushButton*> actions;
  pages::PageRun run;
};

}  // namespace pexol
