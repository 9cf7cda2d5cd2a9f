// picture/RunPicture.h - the timeline picture of a project file, written or handed back
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "picture/TimelinePicture.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct PictureJob {
  std::string source;       ///< project file
  std::string destination;  ///< .svg file; empty writes nothing (the window shows `onPicture`)
  SoftwareChoice software = SoftwareChoice::Automatic();
  TimecodeMode timecode = TimecodeMode::NtscDrop;
  double pixelsPerFrame = 0.2;
  double rowsWidth = 0;                ///< above 0: the rows this wide, at the scale that fits them
  std::vector<std::string> maps = {};  ///< "PREFIX=FOLDER" rules for Windows names
  std::vector<std::string> searchFolders = {};  ///< trees searched by file name, recursively
  /// Each clip whose medium is found shows its poster frame (`PostersOf`) in the picture.
  bool posters = false;
  /// Given the picture once it is drawn, before the destination is written.
  std::function<void(const TimelinePicture&)> onPicture = {};
  /// Given the scene the picture is drawn from (a window draws it itself); with neither a
  /// destination nor `onPicture`, no picture is drawn.
  std::function<void(TimelineScene)> onScene = {};
};

/// Reads the project, resolves its media as the check and the export do (a name not found,
/// or found in several places, is marked missing) and draws its timeline; the destination is
/// replaced only when everything succeeded. The message counts the project's clips (`ClipCount`)
/// and those whose media were not found. A run that only hands its scene over (`onScene`)
/// writes nothing.
RunResult RunPicture(const PictureJob& job, RunObserver& observer);

}  // namespace pexol
