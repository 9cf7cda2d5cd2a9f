// app/pages/RenderPage.h - the "render" page: a project's timeline to a finished video file
#pragma once

#include "app/pages/Page.h"
#include "render/RenderJob.h"

namespace pexol::pages {

/// Renders a project's timeline, or a part of it, at one of `RenderSizes` (or its sound to a
/// sound file), finding media with the media folders, as `pexol-cli render` does: the render
/// program's processes do the work, so that nothing MLT loads comes into the window's process.
/// Its quality and its part ("from", "to") have no part of the page's: the view lays them out in
/// one row above the file rows.
class RenderPage final : public Page {
 public:
  RenderPage();
  Driver MakeRun(const MediaFolders& media) override;

  int rate, size, missing, quality, from, to, source, destination;  ///< fields
};

}  // namespace pexol::pages
