// render/RunRender.h - a project's timeline rendered to a finished video file
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "render/RenderChoices.h"
#include "render/RenderOutcome.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct RenderJob {
  std::string source;       ///< project file
  std::string destination;  ///< with a container's extension (`RenderContainers`)
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  std::vector<std::string> maps = {};           ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};  ///< trees searched by file name, recursively
  MissingMedia missing = MissingMedia::Fail;
  /// The part rendered: frame numbers or timecodes in the rate; empty for the start or end.
  std::string from, to;
  /// H.264's constant quality (0 best to 51 worst); 18 looks like the source at SD sizes.
  int quality = 18;
  /// The rate, as for the MLT export: NTSC 720x480 at 30000/1001 or PAL 720x576 at 25.
  TimecodeMode timecode = TimecodeMode::NtscDrop;
  /// The picture's size as `ParseRenderSize` takes it: "sd" (or empty), "720p", "1080p" or
  /// WIDTHxHEIGHT.
  std::string size;
  RenderCodec codec = RenderCodec::H264;
  /// Keeps interlaced media's fields (SD only); otherwise they are deinterlaced.
  bool interlaced = false;
};

/// Reads the project, lays its timeline out as the MLT export does, checks the range to render
/// and keeps only the clips it uses (`CutToRange`), finds and tries their media (black and silence
/// in the layout where they cannot be used, with `MissingMedia::Black`), writes the MLT document
/// with services that need no display, and has MLT encode it to the destination's temporary file,
/// which replaces the destination only when the whole render succeeded. A stop (`StopRequested`)
/// ends the encoding at its next frame and removes the partial file.
RunResult RunRender(const RenderJob& job, RunObserver& observer);

}  // namespace pexol
