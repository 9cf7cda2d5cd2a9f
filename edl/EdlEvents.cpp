// edl/EdlEvents.cpp - walks the timeline's tracks in recorder order and numbers the events
#include "edl/EdlEvents.h"

#include <limits>

namespace pexol {
namespace {

using namespace std::string_view_literals;

std::string_view VideoMedia(const TimelineItem& clip) {
  return clip.hasAudio && !clip.slow ? "VA"sv : "V"sv;
}

std::string_view ClipName(const TimelineItem& clip) {
  return clip.kind == ItemKind::Colour ? "color clip"sv : std::string_view(clip.name);
}

class EventBuilder {
 public:
  EventBuilder(const Timeline& timeline, const std::function<void(const EdlEvent&)>& emit)
      : timeline_(timeline), emit_(emit) {}

  /// Main clip `index`; `into` and `next` are the transitions into it and into the next clip.
  void Main(std::size_t index, const Transition* into, const Transition* next) {
    const TimelineItem& clip = timeline_.main[index];
    if (into == nullptr) ++number_;

    EdlEvent event;
    event.number = number_;
    event.media = VideoMedia(clip);
    event.slow = clip.slow;
    event.transition = into != nullptr ? into->code : 'C';
    // What an effect cut off the previous clip is the length of the transition into this one.
    event.transitionLength = index > 0 ? timeline_.mainTail[index - 1] : 0;
    event.sourceIn = clip.sourceIn;
    event.sourceOut = clip.sourceOut;
    event.recorderIn = clip.recordIn;
    event.recorderOut = clip.recordOut;
    event.clipName = ClipName(clip);
    emit_(event);

    // Back-to-back transitions: a zero-length cut opens the next transition's event.
    if (into != nullptr && next != nullptr) {
      ++number_;
      event.number = number_;
      event.transition = 'C';
      event.transitionLength = 0;
      event.sourceIn = clip.sourceOut;
      event.recorderIn = clip.recordOut;
      event.clipName.reset();
      emit_(event);
    }
  }

  // Lists the clips of each other track that have ended by `until`, in track order.
  void OtherTracks(std::int64_t until) {
    for (; insertIndex_ < timeline_.insert.size(); ++insertIndex_) {
      if (!Other(timeline_.insert[insertIndex_], EdlTrack::Insert, until)) break;
    }
    for (int track = 0; track < 2; ++track) {
      const auto& list = timeline_.exAudio[track];
      const EdlTrack edlTrack = track == 0 ? EdlTrack::ExAudio1 : EdlTrack::ExAudio2;
      for (; exAudioIndex_[track] < list.size(); ++exAudioIndex_[track]) {
        if (!Other(list[exAudioIndex_[track]], edlTrack, until)) break;
      }
    }
  }

 private:
  bool Other(const TimelineItem& clip, EdlTrack track, std::int64_t until) {
    if (clip.recordOut.Value() > until) return false;
    EdlEvent event;
    event.number = ++number_;
    event.track = track;
    event.media = track == EdlTrack::Insert ? VideoMedia(clip) : "A"sv;
    event.slow = clip.slow;
    event.sourceIn = clip.sourceIn;
    event.sourceOut = clip.sourceOut;
    event.recorderIn = clip.recordIn;
    event.recorderOut = clip.recordOut;
    event.clipName = ClipName(clip);
    emit_(event);
    return true;
  }

  const Timeline& timeline_;
  const std::function<void(const EdlEvent&)>& emit_;
  int number_ = 0;
  std::size_t insertIndex_ = 0;
  std::size_t exAudioIndex_[2] = {0, 0};
};

}  // namespace

void BuildEdlEvents(const Timeline& timeline, const std::function<void(const EdlEvent&)>& emit,
                    const std::function<void(int)>& mainClipDone) {
  EventBuilder builder(timeline, emit);
  // The transitions into each main clip (and past the last one), in track order.
  std::vector<const Transition*> into(timeline.main.size() + 1, nullptr);
  for (const Transition& transition : timeline.transitions) into[transition.from + 1] = &transition;
  const int mainCount = static_cast<int>(timeline.main.size());
  for (int i = 0; i < mainCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const Transition* next = into[index + 1];
    builder.Main(index, into[index], next);
    // Nothing may stand between the two clips of a transition.
    if (next == nullptr) builder.OtherTracks(timeline.main[index].recordOut.Value());
    if (mainClipDone) mainClipDone(i);
  }
  // Whatever is left follows the last main clip, wherever it lies.
  builder.OtherTracks(std::numeric_limits<std::int64_t>::max());
}

}  // namespace pexol
