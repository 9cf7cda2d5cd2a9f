// edl/EdlEvents.h - the event list both EDL layouts print, read off the timeline
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "model/Timeline.h"

namespace pexol {

enum class EdlTrack { Main, Insert, ExAudio1, ExAudio2 };

/// One line of an EDL. Views point into the timeline it was built from.
struct EdlEvent {
  int number = 0;  ///< from 1; the two clips of a transition share one
  EdlTrack track = EdlTrack::Main;
  std::string_view media;   ///< "VA", "V" or "A"
  bool slow = false;        ///< half-speed clip (main and insert events only)
  char transition = 'C';    ///< 'C' cut, 'D' dissolve, 'W' any other transition
  Frames transitionLength;  ///< 0 when there is none to print
  Frames sourceIn;
  Frames sourceOut;  ///< exclusive
  Frames recorderIn;
  Frames recorderOut;                        ///< exclusive
  std::optional<std::string_view> clipName;  ///< absent on a zero-length cut
};

/// Builds the events of `timeline` in EDL order and hands each to `emit` as it is made; calls
/// `mainClipDone(i)` after the events of main clip i. Inserts and extra audio clips follow the
/// first main clip at whose end they have ended and that is not joined to the next by a
/// transition; those still left after the last main clip follow it in list order. Slow clips
/// are video only. No main clips: the other tracks follow one another, numbered from 1.
/// Colour clips are named "color clip".
void BuildEdlEvents(const Timeline& timeline, const std::function<void(const EdlEvent&)>& emit,
                    const std::function<void(int)>& mainClipDone = {});

}  // namespace pexol
