// picture/RunPicture.cpp - the picture through the run frame, with the media folders
#include "picture/RunPicture.h"

#include <map>

#include "core/Translation.h"
#include "media/MediaResolver.h"
#include "model/ClipCount.h"
#include "picture/PictureReading.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

constexpr std::string_view cannotDraw = ToTranslate("Can not draw the timeline");

// The counts are of the project's clips (`ClipCount`: a main clip's sound is no clip of its
// own) and of those among them whose media were not found.
std::string CompletedMessage(const PictureJob& job, std::size_t clips, std::size_t missing) {
  if (job.destination.empty())
    return SayN(clips, "picture completed\n\n{0}\n\n{1} clip, {2} not found (drawn red)",
                "picture completed\n\n{0}\n\n{1} clips, {2} not found (drawn red)", job.source,
                clips, missing);
  return SayN(clips, "picture completed\n\n{0}\n -> {1}\n\n{2} clip, {3} not found (drawn red)",
              "picture completed\n\n{0}\n -> {1}\n\n{2} clips, {3} not found (drawn red)",
              job.source, job.destination, clips, missing);
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
  // A picture or scene handed to its caller (the window's timeline) needs no file.
  plan.mayWriteNothing = job.onPicture || job.onScene;
  return RunOnProject(
      plan,
      [&](const RunInput& input) {
        PictureSettings settings;
        settings.timecode = job.timecode;
        settings.pixelsPerFrame = job.pixelsPerFrame;
        settings.rowsWidth = job.rowsWidth;
        std::map<std::string, MediaResolution, std::less<>> known;
        const auto resolve = [&](std::string_view stored) -> const MediaResolution& {
          auto at = known.find(stored);
          if (at == known.end())
            at = known.emplace(std::string(stored), resolver.Resolve(stored)).first;
          return at->second;
        };
        const Timeline timeline = BuildTimeline(input.project);
        TimelineScene scene = SceneOf(timeline, job.timecode, resolve);
        const std::size_t clips = ClipCount(timeline);
        const std::size_t missing = ClipCount(timeline, [&](const TimelineItem& item) {
          return PlaysMediaFile(item) && resolve(item.name).status != MediaStatus::Found;
        });
        RunOutput output;
        output.warnings = resolver.Warnings();
        if (!job.destination.empty() || job.onPicture) {
          const ScenePosters posters =
              job.posters ? PostersOf(scene, [&observer] { return observer.StopRequested(); })
                          : ScenePosters{};
          const TimelinePicture picture =
              DrawTimeline(scene, settings, job.posters ? &posters : nullptr);
          if (job.onPicture) job.onPicture(picture);
          output.bytes = picture.svg;
          output.message = CompletedMessage(job, clips, missing);
          output.warnings.insert(output.warnings.end(), picture.warnings.begin(),
                                 picture.warnings.end());
        } else {
          output.message = CompletedMessage(job, clips, missing);
        }
        if (job.onScene) job.onScene(std::move(scene));
        return output;
      },
      observer);
}

}  // namespace pexol
