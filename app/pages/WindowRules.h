// app/pages/WindowRules.h - what the window does around its pages' runs, for either toolkit
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/pages/PageState.h"
#include "core/Translation.h"
#include "picture/RunPicture.h"
#include "run/RunResult.h"

namespace pexol::pages {

struct MediaFolders;

/// "pexol Version 2.12", translated.
std::string WindowTitle();
/// Asked before a run's typed destination is replaced, and before the window closes on a run.
std::string ReplaceQuestion(std::string_view path);
inline constexpr std::string_view closeQuestion =
    ToTranslate("A run is going on. Stop it and close the window?");
/// `closeQuestion` translated, as the window asks it.
std::string CloseQuestion();
/// The last page's title, translated.
inline constexpr std::string_view aboutTitle = ToTranslate("about");
std::string AboutTitle();

/// True when the run may write the page's destinations: each is new, a device, was chosen in a
/// file dialog (which asked already), or `ask` (a yes/no question) got a yes; the first no ends
/// the asking.
bool MayReplace(const PageState& state, const std::function<bool(const std::string&)>& ask);

/// The box a finished run shows: UTF-8 text, with a warning icon when it did not complete.
struct ShownMessage {
  std::string text;
  bool exclamation = false;
};
/// The message of `result`: a completed run names the software it chose and lists its
/// warnings. Tells `state` that a completed run wrote its destinations.
ShownMessage ResultMessage(RunResult result, PageState& state);

/// True for a name of a plain file: only such a file is read unasked, since reading a pipe or
/// a device would take its bytes.
bool IsPlainFile(const std::string& path);

/// The media folders every page's run and picture use: the setting's, then each page's own
/// search folder (the find page's), so that every page finds what a check found.
MediaFolders WindowMedia(const MediaFolders& setting, const std::vector<const PageState*>& pages);

/// The picture of the page in front: its project (when a plain file), timecode and software,
/// searched as the page's run searches: `media` (the window's), then the page's own folder.
PictureRequest PictureToShow(const PageState& page, const MediaFolders& media);

/// The picture run that draws `request` (its `onPicture` is the view's to set).
PictureJob PictureJobFor(const PictureRequest& request);

/// A project named on one page is offered to the pages that have none.
class ProjectOffer {
 public:
  /// A page's source field now names `path`.
  void Named(const std::string& path);
  /// The text an empty source field of the page coming to the front gets; empty for none.
  std::string For(const std::string& sourceNow) const;

 private:
  std::string last;
};

/// The "about" page's lines, under its icon and "PEXOL": {control id, text}, translated.
struct AboutLine {
  int id;
  std::string text;
};
std::vector<AboutLine> AboutLines();
inline constexpr std::string_view aboutName = "PEXOL";

}  // namespace pexol::pages
