// render/RunRender.h - a project's timeline rendered to a finished video file
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// What a render does with media that are not found or do not decode.
enum class MissingMedia {
  Fail,   ///< the render does not start; the message lists them
  Black,  ///< black and silence in their place, with a warning naming them
};

/// A container a render writes, chosen by the destination's extension.
struct RenderContainer {
  const char* extension;   ///< with its dot: ".mp4"
  const char* ffmpegName;  ///< FFmpeg's name of it: "mp4", "matroska", "mov"
  const char* label;       ///< in file filters: "MP4 video"
  const char* kind;        ///< in messages and help: "H.264 and AAC", "Matroska", "QuickTime"
};

/// Every container, the default (.mp4) first.
std::span<const RenderContainer> RenderContainers();

/// A rate the window offers for a render (the command line takes every rated timecode mode).
struct RenderRate {
  TimecodeMode mode;
  const char* label;  ///< "NTSC 720x480, 29.97 frames a second"
};
std::span<const RenderRate> RenderRates();

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
};

/// Reads the project, lays its timeline out as the MLT export does, checks the range to render,
/// finds and tries the media (black and silence in the layout where they cannot be used, with
/// `MissingMedia::Black`), writes the MLT document with services that need no display, and
/// has MLT encode it to the destination's temporary file, which replaces
/// the destination only when the whole render succeeded. A stop (`StopRequested`) ends the
/// encoding at its next frame and removes the partial file.
RunResult RunRender(const RenderJob& job, RunObserver& observer);

}  // namespace pexol
