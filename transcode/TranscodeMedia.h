// transcode/TranscodeMedia.h - one movie or still of a project turned into a file today's editors
// open, by FFmpeg's libraries
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/RunObserver.h"
#include "core/Translation.h"
#include "media/TranscodeChoices.h"
#include "run/RunResult.h"

namespace pexol {

inline constexpr std::string_view cannotTranscode = ToTranslate("Can not transcode the medium");

struct TranscodeJob {
  std::string source;       ///< UTF-8
  std::string destination;  ///< UTF-8
  /// What a movie becomes; not a copy.
  TranscodeKind kind = TranscodeKind::ProRes;
  /// A still: its first picture is written as PNG, whatever `kind` says.
  bool still = false;
  /// The movie's frames kept, both included, counted in showing order at the movie's rate from
  /// its first frame, as MLT counts them; the first kept becomes frame 0. -1: to the end.
  std::int64_t firstFrame = 0;
  std::int64_t lastFrame = -1;
};

/// Writes `job.destination` from `job.source`. A movie (any AVI, QuickTime or MPEG FFmpeg
/// decodes) keeps its frame rate, size, field order, pixel shape, timecode and every sound
/// stream (PCM in QuickTime, AAC beside H.264): ProRes 422 or DNxHR SQ in .mov, or H.264 in
/// .mp4. A trim keeps the frames asked for and the sound of the same span, sample for sample.
/// A still's first picture is written as PNG, with its alpha and depth. The file is written
/// beside the destination and replaces it only when complete; a failure or a stop
/// (`StopRequested`) leaves the destination as it was and nothing else. The outcome is a
/// `RenderOutcome`: the frames written (1 for a still) and the time taken.
RunResult RunTranscode(const TranscodeJob& job, RunObserver& observer);

}  // namespace pexol
