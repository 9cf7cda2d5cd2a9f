// render/RunRender.h - a project's timeline rendered to a finished video file
#pragma once

#include "core/RunObserver.h"
#include "render/RenderJob.h"
#include "run/RunResult.h"

namespace pexol {

/// Reads the project, lays its timeline out as the MLT export does, checks the range to render
/// and keeps only the clips it uses (`CutToRange`), finds and tries their media (black and silence
/// in the layout where they cannot be used, with `MissingMedia::Black`), writes the MLT document
/// with services that need no display, and has MLT encode it to the destination's temporary file,
/// which replaces the destination only when the whole render succeeded. A stop (`StopRequested`)
/// ends the encoding at its next frame and removes the partial file.
RunResult RunRender(const RenderJob& job, RunObserver& observer);

}  // namespace pexol
