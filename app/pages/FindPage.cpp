// app/pages/FindPage.cpp - the "find" page's parts, its check and its collect
#include "app/pages/FindPage.h"

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "check/MediaCheck.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"
#include "media/MediaCount.h"
#include "media/PathText.h"
#include "probe/EditorSupport.h"

namespace pexol::pages {

namespace {

// The box lists this many files; a project's hundreds of files are for `check --list`.
constexpr std::size_t shownMedia = 12;

}  // namespace

std::string ProbedLine(const std::string& path, const MediaFacts& facts) {
  const std::string name = PathToShow(Utf8OfPath(PathOfUtf8(path).filename()));
  const std::string summary = FactsSummaryShown(facts);
  if (const std::string opens = OpensSummaryShown(EditorsThatOpen(facts, path)); !opens.empty())
    return Say("{0}: {1}; opens in {2}", name, summary, opens);
  return name + ": " + summary;
}

std::string ProbedList(const std::vector<std::string>& lines) {
  std::string list(Tr("The files found, and the editors that open them as they are:"));
  for (std::size_t i = 0; i < lines.size() && i < shownMedia; ++i) list += "\n" + lines[i];
  if (lines.size() > shownMedia)
    list += "\n" + SayN(lines.size() - shownMedia, "... and {0} more.", "... and {0} more.",
                        lines.size() - shownMedia);
  return list;
}

FindPage::FindPage() : Page(Tr("find")) {
  AddSoftwareBox(ids::findSoftwareBox, ids::findCorvane, ids::findLumetta, "find/software");
  AddStretch();
  source = AddFileRow(ids::findSourceLabel, Tr("mpj source file"), ids::findSource,
                      ids::findSourceChooser, OpenFile("mpj", ProjectFilter()), "find/source");
  searchFolder =
      AddFileRow(ids::findSearchFolderLabel, Tr("media search folder"), ids::findSearchFolder,
                 ids::findSearchFolderChooser, ChooseFolder(), "find/searchFolder");
  AddMediaFoldersButton(ids::findMediaFolders);
  // No report until the user names one: the system's null device, by the name it has there.
  report =
      AddFileRow(ids::findReportLabel, Tr("txt destination file"), ids::findReport,
                 ids::findReportChooser, SaveFile("txt", TextFilter()), "find/report", nullDevice);
  AddRunRow(ids::findCheck, Tr("check"), ids::findProgress, ids::findStatus, ids::findCancel);
  AddAction(ids::findCollect, Tr("collect..."));
  state.PictureFrom(source);
  state.PictureSearches(searchFolder);
}

void FindPage::Load(const SettingsStore& store, SettingsStore* live) {
  Page::Load(store, live);
  if (state.Text(report) == "nul" && state.Text(report) != nullDevice)
    state.SetText(report, nullDevice);
}

void FindPage::Collect(std::string folder, std::vector<std::string> formats, bool link,
                       TranscodeChoice transcode) {
  collect = CollectChoice{std::move(folder), std::move(formats), link, transcode};
}

Page::Driver FindPage::MakeRun(const MediaFolders& media) {
  // As the picture looks: the media folders' search folders, then the page's own (which the
  // window's media folders hold already).
  std::vector<std::string> searchFolders = media.searchFolders;
  AddSearchFolder(searchFolders, state.Text(searchFolder));
  if (collect) {
    CollectJob job;
    job.source = state.Text(source);
    job.folder = std::move(collect->folder);
    job.software = state.ChosenSoftware();
    job.maps = media.maps;
    job.searchFolders = std::move(searchFolders);
    job.formats = std::move(collect->formats);
    job.link = collect->link;
    job.transcode = collect->transcode;
    collect.reset();
    return [job](RunObserver& observer) {
      CollectSummary summary;
      RunResult result = RunCollect(job, observer, &summary);
      if (result.Completed()) result.message = summary.shown + "\n" + result.message;
      return result;
    };
  }
  MediaCheckJob job{state.Text(source), state.Text(report), state.ChosenSoftware()};
  job.maps = media.maps;
  job.searchFolders = std::move(searchFolders);
  job.probe = true;
  return [job](RunObserver& observer) mutable {
    std::vector<std::string> lines;
    job.onProbed = [&lines](const std::string& path, const MediaFacts& facts) {
      lines.push_back(ProbedLine(path, facts));
    };
    RunResult result = RunMediaCheck(job, observer);
    // The check's message counts every name not found; a person also reads how many files.
    if (const auto* check = result.OutcomeAs<CheckOutcome>(); result.Completed() && check)
      result.message += (result.message.ends_with("\n\n") ? ""
                         : result.message.ends_with('\n') ? "\n"
                                                          : "\n\n") +
                        MediaCountText(check->media);
    if (result.Completed() && !lines.empty()) result.message += "\n\n" + ProbedList(lines);
    return result;
  };
}

std::vector<CollectFormat> CollectFormats() {
  std::vector<CollectFormat> formats;
  int id = ids::collectFormatFirst;
  for (const ExportFormat& format : ExportFormats())
    formats.push_back({id++, format.label, format.name});
  return formats;
}

}  // namespace pexol::pages
