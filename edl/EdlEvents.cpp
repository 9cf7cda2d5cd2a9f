// edl/EdlEvents.cpp - walks the four track lists in recorder order and numbers the events
#include "edl/EdlEvents.h"

#include <array>
#include <limits>

namespace pexol {
namespace {

using namespace std::string_view_literals;

// The names under which the applications store a dissolve: the katakana word in full width
// and, after "Basic - ", in half width (both Shift-JIS), and the two English spellings.
constexpr std::array dissolveNames = {
    "\x83\x66\x83\x42\x83\x5D\x83\x8B\x83\x75"sv,
    "Basic - \xC3\xDE\xA8\xBF\xDE\xD9\xCC\xDE"sv,
    "Dissolve"sv,
    "Basic - Dissolve"sv,
};

// Entries hold any 32-bit values a file carries: add in 64 bits, keep the low 32 bits.
std::int32_t Wrap(std::int64_t value) {
  return static_cast<std::int32_t>(value);
}

std::string_view VideoMedia(std::int32_t hasAudio, bool slow) {
  return hasAudio == 1 && !slow ? "VA"sv : "V"sv;
}

class EventBuilder {
 public:
  EventBuilder(const TrackEntries& entries, const std::function<void(const EdlEvent&)>& emit)
      : entries_(entries), emit_(emit) {}

  void Main(const MainTrackEntry& clip, std::string_view nextTransition) {
    const bool slow = clip.slow != 0;
    const std::int32_t span = Wrap(std::int64_t{clip.outEnd} - clip.in);
    // A slow clip plays its whole source span on top of its (maybe shortened) length.
    const std::int32_t recorderLength = slow ? Wrap(std::int64_t{clip.length} + span) : clip.length;
    const std::int32_t sourceOut = Wrap(std::int64_t{clip.in} + clip.length);
    if (clip.transition.empty()) ++number_;

    EdlEvent event;
    event.number = number_;
    event.media = VideoMedia(clip.hasAudio, slow);
    event.slow = slow;
    event.transition = TransitionCode(clip.transition);
    event.transitionLength = pendingTransition_;
    event.sourceIn = clip.in;
    event.sourceOut = sourceOut;
    event.recorderIn = recorder_;
    recorder_ = Wrap(std::int64_t{recorder_} + recorderLength);
    event.recorderOut = recorder_;
    event.clipName = clip.name;
    emit_(event);

    // Back-to-back transitions: a zero-length cut opens the next transition's event.
    if (!clip.transition.empty() && !nextTransition.empty()) {
      ++number_;
      event.number = number_;
      event.transition = 'C';
      event.transitionLength = 0;
      event.sourceIn = sourceOut;
      event.recorderIn = recorder_;
      event.clipName.reset();
      emit_(event);
    }
    // What an effect cut off this clip is the length of the transition into the next one.
    pendingTransition_ = Wrap(std::int64_t{span} - clip.length);
  }

  // Lists the clips of each other track that have ended by `until`, in track order.
  void OtherTracks(std::int64_t until) {
    for (; insertIndex_ < entries_.insert.size(); ++insertIndex_) {
      if (!Insert(entries_.insert[insertIndex_], until)) break;
    }
    for (int track = 0; track < 2; ++track) {
      const auto& list = entries_.exAudio[track];
      for (; exAudioIndex_[track] < list.size(); ++exAudioIndex_[track]) {
        if (!ExAudio(list[exAudioIndex_[track]], track, until)) break;
      }
    }
  }

  std::int32_t Recorder() const { return recorder_; }

 private:
  bool Insert(const InsertTrackEntry& clip, std::int64_t until) {
    const bool slow = clip.slow != 0;
    const std::int64_t span = std::int64_t{clip.outEnd} - clip.in;
    const std::int32_t recorderOut = Wrap(clip.begin + (slow ? 2 * span : span));
    if (recorderOut > until) return false;
    EdlEvent event;
    event.number = ++number_;
    event.track = EdlTrack::Insert;
    event.media = VideoMedia(clip.hasAudio, slow);
    event.slow = slow;
    event.sourceIn = clip.in;
    event.sourceOut = clip.outEnd;
    event.recorderIn = clip.begin;
    event.recorderOut = recorderOut;
    event.clipName = clip.name;
    emit_(event);
    return true;
  }

  bool ExAudio(const ExAudioEntry& clip, int track, std::int64_t until) {
    const std::int32_t recorderOut =
        Wrap(std::int64_t{clip.begin} + (std::int64_t{clip.outEnd} - clip.in));
    if (recorderOut > until) return false;
    EdlEvent event;
    event.number = ++number_;
    event.track = track == 0 ? EdlTrack::ExAudio1 : EdlTrack::ExAudio2;
    event.media = "A"sv;
    event.sourceIn = clip.in;
    event.sourceOut = clip.outEnd;
    event.recorderIn = clip.begin;
    event.recorderOut = recorderOut;
    event.clipName = clip.name;
    emit_(event);
    return true;
  }

  const TrackEntries& entries_;
  const std::function<void(const EdlEvent&)>& emit_;
  int number_ = 0;
  std::int32_t recorder_ = 0;
  std::int32_t pendingTransition_ = 0;
  std::size_t insertIndex_ = 0;
  std::size_t exAudioIndex_[2] = {0, 0};
};

}  // namespace

char TransitionCode(std::string_view name) {
  if (name.empty()) return 'C';
  for (std::string_view dissolve : dissolveNames) {
    if (name == dissolve) return 'D';
  }
  return 'W';
}

void BuildEdlEvents(const TrackEntries& entries, const std::function<void(const EdlEvent&)>& emit,
                    const std::function<void(int)>& mainClipDone) {
  EventBuilder builder(entries, emit);
  const int mainCount = entries.MainClipCount();
  for (int i = 0; i < mainCount; ++i) {
    const std::string_view next = entries.main[static_cast<std::size_t>(i) + 1].transition;
    builder.Main(entries.main[static_cast<std::size_t>(i)], next);
    // Nothing may stand between the two clips of a transition.
    if (next.empty()) builder.OtherTracks(builder.Recorder());
    if (mainClipDone) mainClipDone(i);
  }
  // Whatever is left follows the last main clip, wherever it lies.
  builder.OtherTracks(std::numeric_limits<std::int64_t>::max());
}

}  // namespace pexol
