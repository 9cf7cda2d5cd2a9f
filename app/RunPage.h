// app/RunPage.h - what every page with a run shares: files, remembered settings, the run row,
// the worker thread and the result shown
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/QtSettingsStore.h"
#include "app/TimelineView.h"
#include "app/UserPrompts.h"
#include "app/pages/Page.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QSpinBox;
class QThread;

namespace pexol {

class PageObserver;
class RunPage;
struct MediaFolders;

/// One run at a time in the whole window: a page enters before its run and leaves after it,
/// and every page's run button waits while one goes on.
class RunGate final : public QObject {
  Q_OBJECT

 public:
  RunPage* Running() const { return running; }
  void Enter(RunPage& page);
  void Leave();

 signals:
  void BusyChanged(bool busy);

 private:
  RunPage* running = nullptr;
};

/// What the window shares with its pages; every piece outlives them.
struct PageContext {
  UserPrompts& prompts;
  const MediaFolders& media;  ///< read when a run starts
  RunGate& gate;
};

/// A page that runs a job, the Qt view of a page layer state: each control shows a field of
/// it and sets it. The page builds the job, this base asks before a typed destination is
/// replaced (as the page layer decides), runs the job on a worker thread with the page's
/// status line and bar, offers Cancel, and shows the result once the run's thread has ended.
/// The run button returns at once; the end arrives as a queued call.
class RunPage : public QWidget {
  Q_OBJECT

 public:
  using Driver = pages::Page::Driver;

  /// A page whose controls make their own fields (Remember).
  explicit RunPage(const PageContext& context);
  /// A page whose controls show the fields of the page layer's `page`.
  RunPage(const PageContext& context, std::unique_ptr<pages::Page> page);
  /// Stops a run still going and waits for it.
  ~RunPage() override;

  /// The run button: starts the page's job unless another run goes on or the user keeps a
  /// destination.
  void Start();
  /// Starts the page's job without asking about its destinations (a run that replaces none).
  void StartUnasked();
  bool Running() const { return worker != nullptr; }
  /// Asks the run to stop at its next step.
  void RequestStop();
  /// Stops the run and waits for its thread; the result is not shown. For closing the window.
  void StopAndWait();

  /// Brings back the controls remembered under the page's keys; a value no control stands
  /// for leaves the control as it is. From then on each control's value is written to the
  /// stored settings as soon as it changes, so that a window that ends badly loses nothing.
  void Load(QSettings& settings);
  void Save(QSettings& settings) const;

  /// The project file field the picture follows; null on a page without one.
  QLineEdit* SourceEdit() const;

  /// The project the page works on, the way its timeline picture is drawn (media folders
  /// aside): the source, software and timecode the page's PictureFrom named.
  PictureRequest Picture() const;
  const pages::PageState& State() const { return state; }

 signals:
  /// The project or the way it is drawn changed.
  void PictureChanged();
  /// A run ended and its result was shown.
  void RunEnded();
  /// The page's "media folders..." button was clicked.
  void MediaFoldersWanted();

 protected:
  /// The job of the page's controls, run on the worker thread; it owns all it reads.
  virtual Driver MakeRun() = 0;

  /// A file row whose edit is remembered under `key`; its "..." button opens `request`. A
  /// save request makes the edit a destination, which a run asks about before replacing it.
  QLineEdit* AddFileRow(QBoxLayout* into, int labelId, const QString& caption, int editId,
                        int buttonId, const FileDialogRequest& request, const char* key);
  /// The same row showing the state's text field `field`.
  QLineEdit* AddFileRowOf(QBoxLayout* into, int labelId, const QString& caption, int editId,
                          int buttonId, const FileDialogRequest& request, int field);
  /// The run button, Cancel, the bar and the status line at the foot of the page.
  void AddRunRow(QBoxLayout* into, int buttonId, const QString& text, int progressId, int statusId,
                 int cancelId);
  /// The "media folders..." button, at the right of the page.
  void AddMediaFoldersButton(QBoxLayout* into, int buttonId);
  /// The "software" box every page starts with, remembered under `key`; none ticked leaves the
  /// choice to the run.
  void AddSoftwareBox(QBoxLayout* into, int boxId, int corvaneId, int lumettaId, const char* key);
  void Remember(QLineEdit* edit, const char* key);
  void Remember(QCheckBox* box, const char* key);
  void Remember(QButtonGroup* group, const char* key);
  void Remember(QSpinBox* box, const char* key);
  /// The control shows the state's field and sets it.
  void Bind(QLineEdit* edit, int field);
  void Bind(QCheckBox* box, int field);
  void Bind(QButtonGroup* group, int field);
  void Bind(QSpinBox* box, int field);
  /// The picture shows the project named in `source` in the timecode of `timecode` (whose ids
  /// are timecode mode values; none: the picture's default), and is drawn again when either
  /// or the software changes.
  void PictureFrom(QLineEdit* source, QButtonGroup* timecode = nullptr);
  /// The picture also searches the folder named in `folder`, after the media folders, as the
  /// page's own run does.
  void PictureSearches(QLineEdit* folder);

  /// The software box's choice.
  SoftwareChoice ChosenSoftware() const;
  /// The checked button's value, or `none` when none is checked.
  static int ValueOf(const QButtonGroup& group, int none = 0);

  const PageContext context;

 private:
  /// The control of each field; one of them is set.
  struct View {
    QLineEdit* edit = nullptr;
    QCheckBox* box = nullptr;
    QButtonGroup* group = nullptr;
    QSpinBox* number = nullptr;
  };

  /// Shows the state's `field` in its control.
  void Show(int field);
  View& ViewOf(int field);
  int FieldOf(const QObject* control) const;
  /// The run's thread ended: shows the result unless the window is closing.
  void Finish();
  void ShowRunning(bool running);

  std::unique_ptr<pages::PageState> ownState;  ///< for a page of its own fields

 protected:
  const std::unique_ptr<pages::Page> model;  ///< null for a page of its own fields
  pages::PageState& state;

 private:
  std::vector<View> views;  ///< by field
  QtSettingsStore live;     ///< written as the fields change, once they were loaded
  QPushButton* runButton = nullptr;
  QPushButton* cancel = nullptr;
  QProgressBar* progress = nullptr;
  QLineEdit* status = nullptr;
  std::unique_ptr<PageObserver> observer;
  std::unique_ptr<QThread> worker;
  RunResult result;  ///< written by the worker, read once it has ended
  bool quiet = false;
  int runs = 0;  ///< numbers the runs, so that a late call of an ended one is known
};

}  // namespace pexol
