// render/RenderLayout.h - the timeline a render plays, and the part of it a job renders
#pragma once

#include <optional>
#include <string>

#include "layout/ExportTimeline.h"
#include "model/Timeline.h"
#include "render/RenderJob.h"
#include "render/RenderRange.h"

namespace pexol {

/// The project's timeline laid out as the MLT export lays it out, at the job's rate.
ExportTimeline RenderLayout(const Timeline& timeline, const RenderJob& job);

/// The frames `job` renders of `layout`; nullopt, with `error` set, when its --from and --to
/// name no part of it or a part longer than a day.
std::optional<FrameRange> RenderedFrames(const ExportTimeline& layout, const RenderJob& job,
                                         std::string& error);

}  // namespace pexol
