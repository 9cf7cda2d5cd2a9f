// probe/ClipsPastMedia.cpp - the frames a clip plays from its file beside those the file holds
#include "probe/ClipsPastMedia.h"

#include <cmath>

#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

std::optional<std::int64_t> FramesAt(const MediaFacts& facts, Fraction rate) {
  if (facts.kind == MediaKind::Movie && facts.frames > 0 &&
      (!rate.Known() || (std::int64_t{rate.numerator} * facts.frameRate.denominator ==
                         std::int64_t{facts.frameRate.numerator} * rate.denominator)))
    return facts.frames;
  if ((facts.kind != MediaKind::Movie && facts.kind != MediaKind::Sound) || facts.seconds <= 0 ||
      !rate.Known())
    return std::nullopt;
  // A sliver short of a whole frame is rounding in the file's own time base, not a lost frame.
  return static_cast<std::int64_t>(std::floor(facts.seconds * rate.Value() + 1e-6));
}

Fraction ProjectRateOf(std::span<const MediaFacts> facts) {
  bool anyMovie = false;
  for (const MediaFacts& each : facts) {
    if (each.kind != MediaKind::Movie || !each.frameRate.Known()) continue;
    anyMovie = true;
    if (each.frameRate.numerator != 25 * each.frameRate.denominator) return {30000, 1001};
  }
  return anyMovie ? Fraction{25, 1} : Fraction{30000, 1001};
}

std::vector<ClipPastMedia> ClipsPastMedia(
    const Timeline& timeline,
    const std::function<std::optional<std::int64_t>(const std::string& stored)>& held) {
  std::vector<ClipPastMedia> past;
  const auto track = [&](std::string_view section, const std::vector<TimelineItem>& items,
                         bool main) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      const TimelineItem& item = items[i];
      if (item.kind != ItemKind::Movie) continue;
      // An effect into the next clip plays this one on past its out point.
      const Frames tail = main && i < timeline.mainTail.size() ? timeline.mainTail[i] : Frames(0);
      const std::int64_t used = std::int64_t{item.sourceOut.Value()} + tail.Value();
      if (used <= 0) continue;
      const std::optional<std::int64_t> frames = held(item.name);
      if (frames && used > *frames) past.push_back({section, &item, used, *frames});
    }
  };
  track("[MainAV]", timeline.main, true);
  track("[InsertAV]", timeline.insert, false);
  track("[ExAudio1]", timeline.exAudio[0], false);
  track("[ExAudio2]", timeline.exAudio[1], false);
  return past;
}

std::vector<std::string> ClipsPastMediaWarnings(std::span<const ClipPastMedia> clips) {
  // A project whose media were all cut short would otherwise bury every other warning.
  constexpr std::size_t named = 12;
  std::vector<std::string> warnings;
  for (std::size_t i = 0; i < clips.size() && i < named; ++i) {
    const ClipPastMedia& clip = clips[i];
    warnings.push_back(
        // TRANSLATORS: {0} is a track's heading, such as [MainAV]; {1} the clip's number there.
        Say("{0} clip {1} \"{2}\" needs {3} frames of its file, which holds {4}; the "
            "editors show nothing past its end.",
            clip.section, clip.item->record + 1, DecodeShiftJis(clip.item->name).utf8, clip.used,
            clip.held));
  }
  if (clips.size() > named)
    warnings.push_back(
        SayN(clips.size() - named, "{0} more clip needs more frames than its file holds.",
             "{0} more clips need more frames than their files hold.", clips.size() - named));
  return warnings;
}

}  // namespace pexol
