// app/CheckPage.cpp - the "find" page
#include "app/CheckPage.h"

#include <QLineEdit>
#include <QVBoxLayout>

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

  PictureFrom(source);
  PictureSearches(searchFolder);
}

RunPage::Driver CheckPage::MakeRun() {
  MediaCheckJob job{EncodePath(source->text()), EncodePath(report->text()), ChosenSoftware()};
  job.maps = context.media.EncodedMaps();
  job.searchFolders = context.media.EncodedSearchFolders();
  if (!searchFolder->text().isEmpty())
    job.searchFolders.push_back(EncodePath(searchFolder->text()));
  return [job](RunObserver& observer) { return RunMediaCheck(job, observer); };
}

}  // namespace pexol
