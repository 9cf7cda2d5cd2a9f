// render/RenderJob.cpp - a render's options checked before the project or any media is opened
#include "render/RenderJob.h"

#include <algorithm>
#include <thread>

#include "core/ListInWords.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
#include "layout/ExportTypes.h"
#include "media/PathText.h"
#include "render/RenderOutcome.h"
#include "render/RenderRange.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

// ".mp4 (H.264 and AAC), .mkv (Matroska) or .mov (QuickTime)".
std::string ContainerChoices() {
  return ListInWords(RenderContainers(), [](const RenderContainer& container) {
    return std::string(container.extension) + " (" + std::string(Tr(container.kind)) + ")";
  });
}

// The reason alone: the message names the destination before it.
std::string OptionProblem(const RenderJob& job, const RenderContainer& container) {
  if (!ExportRateOf(job.timecode))
    return std::string(
        Tr("a render is made at NTSC (drop or non-drop frame) or PAL rates; frame "
           "counts have no rate."));
  const auto size = ParseRenderSize(job.size);
  if (!size)
    return Say(
        "the size \"{0}\" is none of sd, 720p, 1080p or WIDTHxHEIGHT (even numbers from 32 "
        "to 8192, such as 1280x720).",
        job.size);
  if (job.codec == RenderCodec::ProRes && !EqualsIgnoreCase(container.extension, ".mov"))
    return std::string(Tr("ProRes is written in a QuickTime movie: name a .mov file."));
  if (job.interlaced && !size->Standard() && !container.soundOnly)
    return std::string(
        Tr("only the project's own size (sd) keeps the fields: a scaled picture is "
           "progressive, drop --interlaced or --size."));
  if (job.quality < 0 || job.quality > 51)
    return std::string(
        Tr("the quality is H.264's constant quality, from 0 (best) to 51; 18 by default."));
  if (job.pictureOnly && container.soundOnly)
    return std::string(Tr("a sound file has no picture: name a video file for --picture-only."));
  if (job.jobs < 1) return std::string(Tr("--jobs counts the processes that render: 1 or more."));
  // Positions that name no frame are refused before the project or any media is opened.
  return PositionError(job.from, job.to, job.timecode);
}

}  // namespace

int RenderJobsByDefault() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

const RenderContainer* ContainerOf(const std::string& destination) {
  const std::string extension = PathOfUtf8(destination).extension().string();
  for (const RenderContainer& container : RenderContainers())
    if (EqualsIgnoreCase(extension, container.extension)) return &container;
  return nullptr;
}

std::string RenderJobProblem(const RenderJob& job) {
  const RenderContainer* container = ContainerOf(job.destination);
  if (!container)
    return OpenFailureMessage(
        Tr(cannotRender), job.destination,
        Say("the container follows the file's extension: {0}.", ContainerChoices()));
  const std::string problem = OptionProblem(job, *container);
  return problem.empty() ? problem : OpenFailureMessage(Tr(cannotRender), job.destination, problem);
}

}  // namespace pexol
