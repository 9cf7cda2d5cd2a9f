// render/RenderJob.h - what a render is asked for, and the checks made before anything is read
#pragma once

#include <string>
#include <vector>

#include "core/Options.h"
#include "render/RenderChoices.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// How many processes a render runs side by side unless told: one a core.
int RenderJobsByDefault();

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
  /// The picture alone, no sound stream: a range of a render made in ranges, whose sound is
  /// mixed once for the whole timeline.
  bool pictureOnly = false;
  /// How many processes render ranges of the timeline side by side; 1 renders it in one.
  int jobs = RenderJobsByDefault();
  /// Where stills MLT cannot read are kept once converted to PNG, shared by the processes of a
  /// render in ranges (`SharedStillsFolder`); empty for the render's own temporary folder.
  std::string stillsFolder = {};
};

/// The pieces of a render made in ranges, to be joined into one file without encoding again.
struct JoinJob {
  std::string destination;  ///< a video container's extension (`RenderContainers`)
  /// Picture-only renders of consecutive ranges of the timeline, in its order.
  std::vector<std::string> pieces;
  std::string sound;  ///< the sound of all of them; empty for none
};

/// The container the destination's extension asks for; null for none of `RenderContainers`.
const RenderContainer* ContainerOf(const std::string& destination);

/// Why `job` cannot be rendered, from its options alone (container, rate, size, codec, quality,
/// positions), as the failure message; empty when it can be tried.
std::string RenderJobProblem(const RenderJob& job);

}  // namespace pexol
