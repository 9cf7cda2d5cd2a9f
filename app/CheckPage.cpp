// app/CheckPage.cpp - the "find" page
#include "app/CheckPage.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/CollectDialog.h"
#include "app/ControlIds.h"
#include "app/Controls.h"
#include "app/DisplayText.h"
#include "app/FileRequests.h"
#include "app/MediaFolders.h"
#include "check/MediaCheck.h"

namespace pexol {

CheckPage::CheckPage(const PageContext& context) : RunPage(context) {
  auto* page = new QVBoxLayout(this);

  AddSoftwareBox(page, ids::findSoftwareBox, ids::findCorvane, ids::findLumetta, "find/software");
  page->addStretch(1);
  source = AddFileRow(page, ids::findSourceLabel, QStringLiteral("mpj source file"),
                      ids::findSource, ids::findSourceChooser,
                      OpenFile(QStringLiteral("mpj"), ProjectFilter()), "find/source");
  searchFolder = AddFileRow(page, ids::findSearchFolderLabel, QStringLiteral("media search folder"),
                            ids::findSearchFolder, ids::findSearchFolderChooser, ChooseFolder(),
                            "find/searchFolder");
  AddMediaFoldersButton(page, ids::findMediaFolders);
  report = AddFileRow(page, ids::findReportLabel, QStringLiteral("txt destination file"),
                      ids::findReport, ids::findReportChooser,
                      SaveFile(QStringLiteral("txt"), TextFilter()), "find/report");
  report->setText(QStringLiteral("nul"));  // no report until the user names one
  AddRunRow(page, ids::findCheck, QStringLiteral("check"), ids::findProgress, ids::findStatus,
            ids::findCancel);
  QPushButton* collectButton = AddButton(this, ids::findCollect, QStringLiteral("collect..."));
  page->addWidget(collectButton, 0, Qt::AlignRight);
  connect(collectButton, &QPushButton::clicked, this, &CheckPage::AskToCollect);
  connect(&context.gate, &RunGate::BusyChanged, collectButton,
          [collectButton](bool busy) { collectButton->setEnabled(!busy); });

  PictureFrom(source);
  PictureSearches(searchFolder);
}

void CheckPage::AskToCollect() {
  auto* dialog = new CollectDialog(this, context.prompts);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    CollectJob job;
    job.source = EncodePath(source->text());
    job.folder = EncodePath(dialog->Folder());
    job.software = ChosenSoftware();
    job.maps = context.media.EncodedMaps();
    job.searchFolders = context.media.EncodedSearchFolders();
    if (!searchFolder->text().isEmpty())
      job.searchFolders.push_back(EncodePath(searchFolder->text()));
    job.formats = dialog->Formats();
    job.link = dialog->Link();
    collect = std::move(job);
    StartUnasked();  // the collect replaces nothing: it refuses a folder that is not empty
  });
  dialog->open();
}

RunPage::Driver CheckPage::MakeRun() {
  if (collect) {
    const CollectJob job = std::move(*collect);
    collect.reset();
    return [job](RunObserver& observer) {
      CollectSummary summary;
      RunResult result = RunCollect(job, observer, &summary);
      if (result.Completed()) result.message = summary.report + "\n" + result.message;
      return result;
    };
  }
  MediaCheckJob job{EncodePath(source->text()), EncodePath(report->text()), ChosenSoftware()};
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  if (!searchFolder->text().isEmpty())
    job.searchFolders.push_back(EncodePath(searchFolder->text()));
  return [job](RunObserver& observer) { return RunMediaCheck(job, observer); };
}

}  // namespace pexol
