// collect/TranscodePlan.h - which files a collect encodes again, into what, and the pieces of
// each movie a trim keeps
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "collect/CollectPlan.h"
#include "media/TranscodeChoices.h"
#include "model/MediaNames.h"
#include "model/Project.h"

namespace pexol {

struct TranscodeChoice {
  TranscodeKind kind = TranscodeKind::Copy;
  bool trim = false;  ///< movies cut to the frames the timeline uses, with `handles`
  int handles = 24;   ///< frames kept each side of a used range
};

/// Decides what becomes of each file of `plan`: with a kind other than a copy, every movie is
/// transcoded to a file of the same stem ending as its container does (the project keeps
/// naming it as an AVI, which is all its format knows; the twin beside that name is what every
/// pexol run finds), and every still that some editor cannot open becomes a PNG. With `trim`,
/// each movie the timeline uses is cut to the frames its clips use, `handles` more each side,
/// ranges that then touch joined into one piece. Names are chosen so that no written file, and
/// no name the project gives one, meets another.
void PlanTranscodes(CollectPlan& plan, const Project& project, const TranscodeChoice& choice);

/// Each movie to transcode probed for its length (one run of the media program): its pieces end
/// where the file does; a piece that then holds no frame is dropped.
void ProbeMovies(CollectPlan& plan, const std::function<bool()>& stop);

/// The frames a transcode of `file` writes (its pieces', or the whole file's); 0 when its length
/// is not known.
std::int64_t FramesToWrite(const CollectedFile& file);

/// A file whose transcode failed, copied as it was instead: its pieces and new ending dropped.
void CopyInstead(CollectedFile& file);

/// The new name of a record's media name once the files are written ("media\..."), its frames
/// moved into the piece that holds them when its movie was trimmed; nullopt keeps the name.
std::optional<std::string> CollectedName(const CollectPlan& plan, MediaUse& use);

}  // namespace pexol
