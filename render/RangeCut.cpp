// render/RangeCut.cpp - clips outside a range turned to gaps, the media inside it listed
#include "render/RangeCut.h"

#include <algorithm>
#include <vector>

namespace pexol {

namespace {

// The frames a piece's producer is asked for: its own, and those it plays on under the
// transition into the next clip.
bool Touches(const ExportPiece& piece, std::int64_t first, std::int64_t end) {
  return piece.recordIn.Value() < end && (piece.recordOut + piece.runOn).Value() > first;
}

void MakeGap(ExportPiece& piece) {
  const Frames in = piece.recordIn;
  const Frames out = piece.recordOut;
  piece = ExportPiece{};
  piece.recordIn = in;
  piece.recordOut = out;
}

// Runs of gaps made one, and the gaps past the range dropped: a long timeline's range would
// otherwise give MLT thousands of blanks to read and walk before its first frame.
void CompactGaps(ExportTrack& track, std::int64_t end) {
  std::vector<ExportPiece> compact;
  compact.reserve(track.pieces.size());
  for (ExportPiece& piece : track.pieces) {
    if (piece.item) {
      compact.push_back(std::move(piece));
      continue;
    }
    if (piece.recordIn.Value() >= end) continue;
    if (!compact.empty() && !compact.back().item && compact.back().recordOut == piece.recordIn) {
      compact.back().recordOut = piece.recordOut;
      continue;
    }
    compact.push_back(std::move(piece));
  }
  // Nothing the range plays follows a gap past its end.
  while (!compact.empty() && !compact.back().item && compact.back().recordIn.Value() >= end)
    compact.pop_back();
  track.pieces = std::move(compact);
}

}  // namespace

void CutToRange(ExportTimeline& timeline, std::int64_t first, std::int64_t end) {
  for (ExportTrack& track : timeline.tracks) {
    bool kept = false;
    bool previousKept = false;
    for (ExportPiece& piece : track.pieces) {
      if (!piece.item) {
        previousKept = false;
        continue;
      }
      if (!Touches(piece, first, end)) {
        MakeGap(piece);
        previousKept = false;
        continue;
      }
      // The transition from a clip made a gap plays before the range: the clip starts cut.
      if (piece.transition && !previousKept) {
        piece.transition = nullptr;
        piece.transitionLength = 0;
        piece.crossFadesSound = false;
      }
      kept = previousKept = true;
    }
    if (!kept && track.role != TrackRole::Main) track.pieces.clear();
    CompactGaps(track, end);
  }
}

std::set<std::string> MediaUsed(const ExportTimeline& timeline) {
  std::set<std::string> used;
  for (const ExportTrack& track : timeline.tracks)
    for (const ExportPiece& piece : track.pieces) {
      if (piece.media) used.insert(piece.media->stored);
      for (const MediaReference* image : piece.images) used.insert(image->stored);
    }
  return used;
}

}  // namespace pexol
