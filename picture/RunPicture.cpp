// picture/RunPicture.cpp - the picture through the run frame, with the media folders
#include "picture/RunPicture.h"

#include <map>

#include "media/MediaResolver.h"
#include "picture/PictureReading.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

constexpr std::string_view cannotDraw = "Can not draw the timeline";

std::string CompletedMessage(const PictureJob& job, const TimelinePicture& picture) {
  std::string message = "picture completed\n\n" + job.source;
  if (!job.destination.empty()) message += "\n -> " + job.destination;
  message += "\n\n" + std::to_string(picture.boxes.size()) + " clips, " +
             std::to_string(picture.missingCount) + " not found (drawn red)";
  return message;
}

}  // namespace

RunResult RunPicture(const PictureJob& job, RunObserver& observer) {
  if (!(job.pixelsPerFrame > 0 && job.pixelsPerFrame <= 100))
    return RunResult::Failed(OpenFailureMessage(
        cannotDraw, job.destination, "the scale is between 0 and 100 pixels per frame."));
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  MediaResolver resolver(std::move(*resolve));

  RunPlan plan = RunPlan::Writing(pictureReading, job.source, job.software, job.destination,
                                  cannotDraw, "it is the project being drawn");
  // A picture handed to its caller (the window's timeline) needs no file.
  plan.mayWriteNothing = static_cast<bool>(job.onPicture);
  return RunOnProject(
      plan,
      [&](const RunInput& input) {
        PictureSettings settings;
        settings.timecode = job.timecode;
        settings.pixelsPerFrame = job.pixelsPerFrame;
        const auto found = [&resolver](std::string_view stored) {
          return resolver.Resolve(stored).status == MediaStatus::Found;
        };
        const TimelinePicture picture = DrawTimeline(BuildTimeline(input.project), found, settings);
        if (job.onPicture) job.onPicture(picture);
        RunOutput output;
        output.bytes = picture.svg;
        output.message = CompletedMessage(job, picture);
        output.warnings = resolver.Warnings();
        output.warnings.insert(output.warnings.end(), picture.warnings.begin(),
                               picture.warnings.end());
        return output;
      },
      observer);
}

}  // namespace pexol
