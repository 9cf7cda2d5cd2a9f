// run/WrittenOutcome.h - what a run that writes a movie or still adds to its result
#pragma once

namespace pexol {

/// Its length in frames and the time it took; a render's, a join's and a transcode's alike, so
/// that every front end reads one type.
struct WrittenOutcome {
  long long frames = 0;
  double seconds = 0;
};

}  // namespace pexol
