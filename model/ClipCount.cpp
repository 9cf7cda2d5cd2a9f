// model/ClipCount.cpp - the clips of a timeline, counted once
#include "model/ClipCount.h"

namespace pexol {

std::size_t ClipCount(const Timeline& timeline) {
  return ClipCount(timeline, [](const TimelineItem&) { return true; });
}

std::size_t ClipCount(const Timeline& timeline,
                      const std::function<bool(const TimelineItem&)>& counted) {
  std::size_t count = 0;
  for (const auto* track : {&timeline.main, &timeline.insert, &timeline.exAudio[0],
                            &timeline.exAudio[1], &timeline.titles})
    for (const TimelineItem& item : *track) count += counted(item) ? 1 : 0;
  return count;
}

}  // namespace pexol
