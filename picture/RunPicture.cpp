// picture/RunPicture.cpp - the picture through the run frame, with the media folders
#include "picture/RunPicture.h"

#include <map>

#include "core/Translation.h"
#include "media/MediaResolver.h"
#include "picture/PictureReading.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

constexpr std::string_view cannotDraw = ToTranslate("Can not draw the timeline");

std::string CompletedMessage(const PictureJob& job, const TimelinePicture& picture) {
  // The counts are of the project's clips (`ClipCount`: a main clip's sound is no clip of its
  // own) and of those among them whose media were not found.
  if (job.destination.empty())
    return Say("picture completed\n\n{0}\n\n{1} clips, {2} not found (drawn red)", job.source,
               picture.clips, picture.missingCount);
  return Say("picture completed\n\n{0}\n -> {1}\n\n{2} clips, {3} not found (drawn red)",
             job.source, job.destination, picture.clips, picture.missingCount);
}

}  // namespace

RunResult RunPicture(const PictureJob& job, RunObserver& observer) {
  if (!(job.pixelsPerFrame > 0 && job.pixelsPerFrame <= 100))
    return RunResult::Failed(
        OpenFailureMessage(cannotDraw, job.destination,
                           ToTranslate("the scale is between 0 and 100 pixels per frame.")));
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  MediaResolver resolver(std::move(*resolve));

  RunPlan plan = RunPlan::Writing(pictureReading, job.source, job.software, job.destination,
                                  cannotDraw, ToTranslate("it is the project being drawn"));
  // A picture handed to its caller (the window's timeline) needs no file.
  plan.mayWriteNothing = static_cast<bool>(job.onPicture);
  return RunOnProject(
      plan,
      [&](const RunInput& input) {
        PictureSettings settings;
        settings.timecode = job.timecode;
        settings.pixelsPerFrame = job.pixelsPerFrame;
        settings.rowsWidth = job.rowsWidth;
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
