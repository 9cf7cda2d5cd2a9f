// model/ClipCount.h - what counts as a clip: the one count of clips every command and window
// shows
#pragma once

#include <cstddef>
#include <functional>

#include "model/Timeline.h"

namespace pexol {

/// The clips of `timeline`, as the project holds them: every item of the main, insert and both
/// extra audio tracks, and every title. A main clip whose sound plays is one clip, a transition
/// is none, and a clip that an export or the picture leaves out (one hidden under the clip
/// before it) still counts: the number is the project's, whatever a format shows of it.
std::size_t ClipCount(const Timeline& timeline);

/// The clips of `timeline` for which `counted` is true.
std::size_t ClipCount(const Timeline& timeline,
                      const std::function<bool(const TimelineItem&)>& counted);

/// True for a clip that plays a media file (a movie or a still); a colour clip's name is its
/// colours and a title names none of its own.
constexpr bool PlaysMediaFile(const TimelineItem& item) {
  return item.kind == ItemKind::Movie || item.kind == ItemKind::Still;
}

}  // namespace pexol
