// app/pages/WindowRules.cpp - titles, questions, result messages, the picture and the project
// offered
#include "app/pages/WindowRules.h"

#include <filesystem>

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "core/PlatformPath.h"
#include "core/TextEncoding.h"
#include "core/Version.h"

namespace pexol::pages {

namespace {

/// The command line's words for an automatic choice, as a closing paragraph of the message.
void NoteAutomaticSoftware(std::string& message, Software software) {
  while (!message.ends_with("\n\n")) message += '\n';
  message += "Read as \"";
  message += SoftwareName(software);
  message += "\" (chosen automatically).";
}

}  // namespace

std::string WindowTitle() {
  return "pexol Version " + std::string(version);
}

std::string ReplaceQuestion(std::string_view path) {
  return std::string(path) + " exists. Replace it?";
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
    for (const std::string& warning : result.warnings) result.message += "\n\nwarning: " + warning;
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
  return {{ids::aboutVersion, "pexol Version " + std::string(version)},
          {ids::aboutCorrespondence, "Corvane ver2.94 Correspondence."},
          {ids::aboutBlank, ""},
          {ids::aboutExchange, "Corvane file(*.mpj) - text exchange"},
          {ids::aboutLicence, "Free software, written from scratch."},
          {ids::aboutWarranty, "It comes with no warranty."}};
}

}  // namespace pexol::pages
