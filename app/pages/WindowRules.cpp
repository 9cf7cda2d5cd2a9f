// app/pages/WindowRules.cpp - titles, questions, result messages, the picture and the project
// offered
#include "app/pages/WindowRules.h"

#include <filesystem>

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "core/PlatformPath.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "core/Version.h"

namespace pexol::pages {

namespace {

/// The command line's words for an automatic choice, as a closing paragraph of the message.
void NoteAutomaticSoftware(std::string& message, Software software) {
  while (!message.ends_with("\n\n")) message += '\n';
  message += Say("Read as \"{0}\" (chosen automatically).", SoftwareName(software));
}

}  // namespace

std::string WindowTitle() {
  return Say("pexol Version {0}", version);
}

std::string CloseQuestion() {
  return std::string(Tr(closeQuestion));
}

std::string AboutTitle() {
  return std::string(Tr(aboutTitle));
}

std::string ReplaceQuestion(std::string_view path) {
  return Say("{0} exists. Replace it?", path);
}

bool MayReplace(const PageState& state, const std::function<bool(const std::string&)>& ask) {
  for (const std::string& path : state.DestinationsToAsk())
    if (!ask(ReplaceQuestion(path))) return false;
  return true;
}

ShownMessage ResultMessage(RunResult result, PageState& state) {
  if (result.Completed()) {
    if (result.chosenSoftware) NoteAutomaticSoftware(result.message, *result.chosenSoftware);
    state.RunCompleted();
    // Warnings (media not found, unreadable search folders) follow the message.
    for (const std::string& warning : result.warnings)
      result.message += "\n\n" + Say("warning: {0}", warning);
  }
  // What to do, in the window's buttons and choices.
  switch (result.remedy) {
    case Remedy::FindOrBlackOutMedia:
      result.message = WithRemedyWords(
          std::move(result.message),
          Tr("Find them with \"media folders...\" (the \"find\" page checks them), or choose "
             "\"render black and silence in their place\" under \"missing media\"."));
      break;
    case Remedy::RenameOrMapFolder:
      result.message = WithRemedyWords(
          std::move(result.message),
          Tr("Rename the folder or file, or name another with \"media folders...\"."));
      break;
    case Remedy::None:
      break;
  }
  // Names from projects are Shift-JIS: decoded as the command line decodes them.
  return {DisplayText(result.message), !result.Completed()};
}

bool IsPlainFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(platform::PathOf(path), error);
}

MediaFolders WindowMedia(const MediaFolders& setting, const std::vector<const PageState*>& pages) {
  MediaFolders media = setting;
  for (const PageState* page : pages)
    for (const std::string& folder : page->Picture().searchFolders)
      AddSearchFolder(media.searchFolders, folder);
  return media;
}

PictureRequest PictureToShow(const PageState& page, const MediaFolders& media) {
  PictureRequest request = page.Picture();
  if (!IsPlainFile(request.source)) request.source.clear();
  request.maps = media.maps;
  std::vector<std::string> folders = media.searchFolders;
  for (const std::string& folder : request.searchFolders) AddSearchFolder(folders, folder);
  request.searchFolders = std::move(folders);
  return request;
}

PictureJob PictureJobFor(const PictureRequest& request) {
  PictureJob job;
  job.source = request.source;
  job.timecode = request.timecode;
  job.software = request.software;
  job.maps = request.maps;
  job.searchFolders = request.searchFolders;
  return job;
}

void ProjectOffer::Named(const std::string& path) {
  if (IsPlainFile(path)) last = path;
}

std::string ProjectOffer::For(const std::string& sourceNow) const {
  return sourceNow.empty() && IsPlainFile(last) ? last : std::string();
}

std::vector<AboutLine> AboutLines() {
  return {{ids::aboutVersion, WindowTitle()},
          {ids::aboutCorrespondence, std::string(Tr("Corvane ver2.94 Correspondence."))},
          {ids::aboutBlank, ""},
          {ids::aboutExchange, std::string(Tr("Corvane file(*.mpj) - text exchange"))},
          {ids::aboutLicence, std::string(Tr("Free software, written from scratch."))},
          {ids::aboutWarranty, std::string(Tr("It comes with no warranty."))}};
}

}  // namespace pexol::pages
