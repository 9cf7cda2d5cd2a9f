// probe/ClipsPastMedia.h - a file's length in a project's frames, and the clips that play past
// the end of theirs
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Timeline.h"
#include "probe/MediaFacts.h"

namespace pexol {

/// The frames of `rate` the file holds: a movie's own count when it runs at that rate, else its
/// seconds counted at the rate, a part of a frame left out; nullopt for stills, files not read
/// and lengths FFmpeg did not know.
std::optional<std::int64_t> FramesAt(const MediaFacts& facts, Fraction rate);

/// The rate a project counts at when nobody says: PAL's 25 when every movie read runs at 25,
/// NTSC's 30000/1001 otherwise (the old editor's own DV rates).
Fraction ProjectRateOf(std::span<const MediaFacts> facts);

/// A clip that plays frames its file does not hold.
struct ClipPastMedia {
  std::string_view section;  ///< "[MainAV]", "[InsertAV]", "[ExAudio1]", "[ExAudio2]"
  const TimelineItem* item = nullptr;
  std::int64_t used = 0;  ///< the frames of its file it plays to: its out point, and the frames an
                          ///< effect plays on past it
  std::int64_t held = 0;  ///< the frames the file holds
};

/// The movie and sound clips of `timeline` that play past the end of their file, in section
/// order; `held` gives the frames the file of a stored name holds, nullopt when unknown.
std::vector<ClipPastMedia> ClipsPastMedia(
    const Timeline& timeline,
    const std::function<std::optional<std::int64_t>(const std::string& stored)>& held);

/// A warning for each of `clips`, the first dozen naming theirs ("[MainAV] clip 3 "bgm.wav"
/// needs 1900 frames of its file, which holds 1858; the editors show nothing past its end."),
/// one counting the rest.
std::vector<std::string> ClipsPastMediaWarnings(std::span<const ClipPastMedia> clips);

}  // namespace pexol
