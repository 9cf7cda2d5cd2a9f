// join/JoinPieces.h - the pieces of a render made in ranges, joined into one file by copying
#pragma once

#include "core/RunObserver.h"
#include "render/RenderJob.h"
#include "render/RenderOutcome.h"
#include "run/RunResult.h"

namespace pexol {

/// Copies the pieces' video packets one after another and the sound's packets beside them into
/// `destination`, encoding nothing again: the file one render of the whole timeline would have
/// been. Each piece must hold one video stream coded like the first piece's (codec, size, pixel
/// format, field order, frame rate and codec headers); a piece's timestamps are counted in frames
/// and moved on by the frames of the pieces before it, so the joined picture has the continuous
/// render's timestamps. The sound's packets keep their own timestamps (and AAC's priming). Both
/// streams are interleaved as they are read, so memory does not grow with the length. The file
/// is written beside the destination and replaces it only when everything succeeded; a failure
/// or a stop (`StopRequested`) leaves the destination as it was and no partial file. The outcome
/// is a `RenderOutcome` (the frames joined and the time taken).
RunResult RunJoin(const JoinJob& job, RunObserver& observer);

}  // namespace pexol
