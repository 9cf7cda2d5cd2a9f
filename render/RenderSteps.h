// render/RenderSteps.h - a render split into commands: ranges side by side, the sound, the join
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/RenderJob.h"
#include "render/RenderRange.h"

namespace pexol {

/// One command of a render, as `pexol-cli` takes it.
struct RenderStep {
  enum class Kind {
    Whole,  ///< the render in one process, as asked
    Range,  ///< the picture of a range of frames
    Sound,  ///< the sound of every range at once
    Join,   ///< the ranges and the sound in the destination, neither encoded again
  };
  Kind kind = Kind::Whole;
  std::vector<std::string> arguments;  ///< after the program's name: "render", SOURCE, ...
  std::string output;                  ///< the file it writes
  FrameRange frames;                   ///< what a Whole or Range step renders
};

/// A range shorter than this is not worth a process of its own: each one opens MLT and its
/// media before its first frame.
constexpr std::int64_t minimumRangeFrames = 300;

/// The steps that render `frames` of `job`'s timeline: one Whole step when `job.jobs` is 1,
/// the destination holds sound alone or the frames are too few to share; otherwise `job.jobs`
/// Range steps of nearly equal length, each writing a picture-only file beside the destination
/// in its container, one Sound step for all of them, and the Join step, in that order. Every
/// step renders with `--jobs 1`, so that running them one after another gives the same file.
std::vector<RenderStep> PlanRenderSteps(const RenderJob& job, FrameRange frames);

/// The folder beside the destination ("DIR/demo.pexol-stills" for "DIR/demo.mp4") where the
/// processes of a render in ranges keep the stills MLT cannot read, converted to PNG once for
/// all of them; made only when a still needs it.
std::string SharedStillsFolder(const std::string& destination);

/// How the PNG files there begin; nothing else is put there.
inline constexpr std::string_view sharedStillPrefix = "still-";

/// Removes the converted stills from `folder`, and the folder when nothing else is left in it.
void RemoveSharedStills(const std::string& folder);

/// The arguments of `pexol-cli render` that render `job`: the project, the destination and
/// every option (`--jobs` as the job says), the range as frame numbers when `frames` is given.
std::vector<std::string> RenderArguments(const RenderJob& job, const FrameRange* frames);

}  // namespace pexol
