// app/MainWindow.cpp - the window: pages, the picture they share and remembered settings
#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AboutPage.h"
#include "app/Controls.h"
#include "app/PageView.h"
#include "app/RenderPage.h"
#include "app/TimelineView.h"
#include "app/UserPrompts.h"
#include "app/pages/ControlIds.h"
#include "app/pages/WindowRules.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// The first local file of what is dragged: a project dropped from a file manager.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return QDir::toNativeSeparators(url.toLocalFile());
  return {};
}

}  // namespace

MainWindow::MainWindow(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      prompts(prompts) {
  setObjectName(QString::number(ids::window));
  setWindowTitle(QString::fromStdString(pages::WindowTitle()));
  const QIcon icon = ProgramIcon();
  setWindowIcon(icon);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->setObjectName(QString::number(ids::tabs));
  layout->addWidget(tabs);
  timeline = new TimelineView(this);
  layout->addWidget(timeline);
  connect(timeline, &TimelineView::MediaFoldersWanted, this, &MainWindow::EditMediaFolders);
  // A timeline shown gets its room under the pages: the window grows to show it whole, as far as
  // the screen allows.
  connect(timeline, &TimelineView::PictureShown, this, [this] {
    this->layout()->activate();
    int wanted = sizeHint().height();
    if (const QScreen* shown = screen()) wanted = std::min(wanted, shown->availableSize().height());
    if (timeline->isVisible() && height() < wanted && !isMaximized() && !isFullScreen())
      resize(width(), wanted);
  });
  const PageContext context{prompts, gate, [this] { return RunMedia(); }};
  for (std::unique_ptr<pages::Page>& page : pages::MakeSharedPages()) {
    const QString title = QString::fromStdString(page->Title());
    AddPage(new PageView(context, std::move(page)), title);
  }
  AddPage(new RenderPage(context), QtText(Tr("render")));
  gate.onBusy = [this](bool busy) {
    for (RunPage* page : pages) page->SetBusy(busy);
  };
  tabs->addTab(new AboutPage(icon), QString::fromStdString(pages::AboutTitle()));

  // No push button is ever the default one, so Enter in an edit neither closes the window
  // nor starts a run; keyPressEvent lets Enter press a focused button.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  // Wide enough at first for a path of some length; the user can widen it further.
  resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 80, 0)));

  // The picture follows the page in front: its source (once typing pauses) and its timecode.
  auto* follow = new QTimer(this);
  follow->setSingleShot(true);
  follow->setInterval(300);
  connect(follow, &QTimer::timeout, this, &MainWindow::FollowPage);
  connect(tabs, &QTabWidget::currentChanged, follow, qOverload<>(&QTimer::start));
  connect(tabs, &QTabWidget::currentChanged, this, &MainWindow::OfferProject);
  for (RunPage* page : pages)
    connect(page, &RunPage::PictureChanged, follow, qOverload<>(&QTimer::start));
  LoadSettings();
  setAcceptDrops(true);
  placeSaver = new QTimer(this);
  placeSaver->setSingleShot(true);
  placeSaver->setInterval(500);
  connect(placeSaver, &QTimer::timeout, this, &MainWindow::SavePlace);
  // A project named on one page is offered to the pages that have none.
  for (RunPage* page : pages)
    if (QLineEdit* source = page->SourceEdit()) {
      if (offer.For({}).empty()) offer.Named(source->text().toStdString());
      connect(source, &QLineEdit::textChanged, this,
              [this](const QString& text) { offer.Named(text.toStdString()); });
    }
}

MainWindow::~MainWindow() {
  // The pages' runs read the media folders and the gate, which go before the pages do.
  if (RunPage* running = RunningPage()) running->StopAndWait();
  gate.onBusy = nullptr;
  timeline->State().Wait();
  SaveSettings();
}

RunPage* MainWindow::RunningPage() const {
  for (RunPage* page : pages)
    if (page->Running()) return page;
  return nullptr;
}

pages::MediaFolders MainWindow::RunMedia() const {
  std::vector<const pages::PageState*> states;
  for (const RunPage* page : pages) states.push_back(&page->State());
  return pages::WindowMedia(mediaFolders.Shared(), states);
}

void MainWindow::AddPage(RunPage* page, const QString& title) {
  pages.push_back(page);
  tabs->addTab(page, title);
  connect(page, &RunPage::MediaFoldersWanted, this, [this] { EditMediaFolders(); });
  connect(page, &RunPage::RunEnded, this, &MainWindow::RunEnded);
}

void MainWindow::OpenProject(const QString& path) {
  for (RunPage* page : pages)
    if (QLineEdit* source = page->SourceEdit()) source->setText(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  OpenProject(file);
  event->acceptProposedAction();
}

void MainWindow::OfferProject() {
  const auto* page = qobject_cast<const RunPage*>(tabs->currentWidget());
  QLineEdit* source = page != nullptr ? page->SourceEdit() : nullptr;
  if (source == nullptr) return;
  const std::string offered = offer.For(source->text().toStdString());
  if (!offered.empty()) source->setText(QString::fromStdString(offered));
}

void MainWindow::LoadSettings() {
  QSettings settings = StoredSettings();
  for (RunPage* page : pages) page->Load(settings);
  mediaFolders = MediaFolders::Load(settings);
  restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
  QTimer::singleShot(0, this, &MainWindow::FollowPage);
}

void MainWindow::SaveSettings() {
  QSettings settings = StoredSettings();
  for (const RunPage* page : pages) page->Save(settings);
  mediaFolders.Save(settings);
  settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
}

void MainWindow::SavePlace() {
  QSettings settings = StoredSettings();
  settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  if (placeSaver != nullptr && isVisible()) placeSaver->start();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (placeSaver != nullptr && isVisible()) placeSaver->start();
}

void MainWindow::EditMediaFolders(const QString& windowsFolder) {
  auto* dialog = new MediaFoldersDialog(mediaFolders, prompts, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // A missing clip's folder: the rule for it wants only the local folder.
  if (!windowsFolder.isEmpty()) dialog->windowsFolder->setText(windowsFolder);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    mediaFolders = dialog->Folders();
    QSettings settings = StoredSettings();
    mediaFolders.Save(settings);
    settings.sync();
    FollowPage();
  });
  dialog->open();
}

void MainWindow::FollowPage() {
  const auto* page = qobject_cast<const RunPage*>(tabs->currentWidget());
  if (page == nullptr) return;  // the about page keeps the picture of the page before it
  timeline->Show(pages::PictureToShow(page->State(), RunMedia()));
}

bool MainWindow::MayClose() {
  RunPage* running = RunningPage();
  if (running == nullptr) return true;
  if (!prompts.Question(this, QString::fromStdString(pages::CloseQuestion()))) return false;
  running->StopAndWait();
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!MayClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void MainWindow::reject() {
  if (MayClose()) QDialog::reject();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
}

}  // namespace pexol
