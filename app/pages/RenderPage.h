// app/pages/RenderPage.h - the "render" page: a project's timeline to a finished video file
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/pages/Page.h"
#include "render/RenderJob.h"

namespace pexol::pages {

/// The arguments of `pexol-cli render` for `job`, with progress as JSON lines.
std::vector<std::string> RenderArgumentsForChild(const RenderJob& job);

/// Renders a project's timeline, or a part of it, at one of `RenderSizes` (or its sound to a
/// sound file), finding media with the media folders. The render runs in a pexol-cli process
/// of its own, which the window's `Renderer` starts, so that nothing the render loads comes
/// into the window's process. Its quality and its part ("from", "to") have no part of the
/// page's: the view lays them out in one row above the file rows.
class RenderPage final : public Page {
 public:
  /// The job that runs pexol-cli with `arguments`; made on the window's thread.
  using Renderer = std::function<Driver(std::vector<std::string> arguments)>;

  explicit RenderPage(Renderer renderer);
  Driver MakeRun(const MediaFolders& media) override;

  int rate, size, missing, quality, from, to, source, destination;  ///< fields

 private:
  Renderer renderer;
};

}  // namespace pexol::pages
