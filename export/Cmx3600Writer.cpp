// export/Cmx3600Writer.cpp - CMX 3600 event lines, dissolve pairs, speed lines and clip comments
#include "export/Cmx3600Writer.h"

#include <algorithm>
#include <cstdio>

#include "edl/Timecode.h"

namespace pexol {
namespace {

// Names outside ASCII cannot be reels: every file is reel AX, black and colour are BL, and the
// readers take the clip from the name and path comments instead.
const char* Reel(const TimelineItem& item) {
  return item.kind == ItemKind::Colour ? "BL" : "AX";
}

const char* Channel(const TimelineItem& item, bool audioTrack) {
  if (audioTrack) return "A";
  return CarriesAudio(item) ? "B" : "V";
}

// A transition's two lines share its channels: picture and sound where the sound cross-fades,
// the picture alone where it cuts.
const char* TransitionChannel(const ExportPiece& incoming) {
  return incoming.crossFadesSound ? "B" : "V";
}

void AppendPadded(std::string& text, std::string_view field, std::size_t width) {
  text += field;
  if (field.size() < width) text.append(width - field.size(), ' ');
}

class CmxBuilder {
 public:
  CmxBuilder(const ExportTimeline& timeline, bool audioTrack)
      : timeline_(timeline), mode_(TimecodeModeOf(timeline.rate)), audioTrack_(audioTrack) {}

  void Header(std::string_view suffix) {
    text_ += "TITLE: ";
    text_ += timeline_.projectName;
    text_ += suffix;
    text_ +=
        mode_ == TimecodeMode::NtscDrop ? "\r\nFCM: DROP FRAME\r\n" : "\r\nFCM: NON-DROP FRAME\r\n";
  }

  // `previous` is the piece the transition into `piece` comes from, when there is one.
  void Event(const ExportPiece& piece, const ExportPiece* previous) {
    ++number_;
    const TimelineItem& item = *piece.item;
    text_ += "\r\n";
    if (previous) {
      // The outgoing clip as a cut of no length at the start of the transition.
      const char* channel = TransitionChannel(piece);
      EventLine(*previous->item, channel, "C", 0, previous->sourceOut, previous->sourceOut,
                piece.recordIn, piece.recordIn);
      const bool dissolve = piece.transition->code == 'D';
      EventLine(item, channel, dissolve ? "D" : "W001", piece.transitionLength, piece.sourceIn,
                piece.sourceOut, piece.recordIn, piece.recordOut);
    } else {
      EventLine(item, Channel(item, audioTrack_), "C", 0, piece.sourceIn, piece.sourceOut,
                piece.recordIn, piece.recordOut);
    }
    if (item.slow) SpeedLine(item, piece.sourceIn);
    if (previous) {
      Comment("* FROM CLIP NAME: ", previous->name);
      Comment("* TO CLIP NAME: ", piece.name);
    } else {
      Comment("* FROM CLIP NAME: ", piece.name);
    }
    if (piece.media) Comment("* SOURCE FILE: ", piece.media->path);
    // The sound of a clip whose transition is the picture's alone starts on the cut.
    if (previous && !piece.crossFadesSound && CarriesAudio(item)) {
      ++number_;
      text_ += "\r\n";
      EventLine(item, "A", "C", 0, piece.sourceIn, piece.sourceOut, piece.recordIn,
                piece.recordOut);
      Comment("* FROM CLIP NAME: ", piece.name);
      if (piece.media) Comment("* SOURCE FILE: ", piece.media->path);
    }
  }

  std::string Take() { return std::move(text_); }

 private:
  void EventLine(const TimelineItem& item, std::string_view channel, std::string_view transition,
                 Frames length, Frames sourceIn, Frames sourceOut, Frames recordIn,
                 Frames recordOut) {
    // Readers refuse an event whose source and record lengths differ (a slow clip's M2 line
    // aside). A colour, a still or a title has no time of its own to run out of: its source
    // runs as long as its record, also where its in point was before its start.
    if (item.kind != ItemKind::Movie) {
      sourceIn = std::max(sourceIn, Frames(0));
      sourceOut = sourceIn + (recordOut - recordIn);
    }
    // Three digits, four past 999: the reel column stays where readers look for it.
    char number[16];
    std::snprintf(number, sizeof number, "%03d", number_);
    AppendPadded(text_, number, 5);
    AppendPadded(text_, Reel(item), 8);
    text_ += ' ';
    AppendPadded(text_, channel, 5);
    text_ += ' ';
    AppendPadded(text_, transition, 4);
    if (transition == "C") {
      text_ += "     ";
    } else {
      char frames[16];
      std::snprintf(frames, sizeof frames, " %03d ", static_cast<int>(length.Value()));
      text_ += frames;
    }
    for (const Frames frame : {sourceIn, sourceOut, recordIn, recordOut}) {
      AppendTimecode(text_, mode_, frame.Value());
      text_ += ' ';
    }
    text_.back() = '\r';
    text_ += '\n';
  }

  // Half speed in the usual layout: reel, speed in frames per second, source in.
  void SpeedLine(const TimelineItem& item, Frames sourceIn) {
    text_ += "M2   ";
    AppendPadded(text_, Reel(item), 8);
    // Tenths of a frame per second, cut rather than rounded (14.985 shows as 014.9).
    const long long tenths =
        static_cast<long long>(timeline_.rate.numerator) * 10 / (2LL * timeline_.rate.denominator);
    char speed[32];
    std::snprintf(speed, sizeof speed, " %03lld.%lld%16s", tenths / 10, tenths % 10, "");
    text_ += speed;
    // Readers parse this timecode with colons only, also at drop frame.
    std::string timecode;
    AppendTimecode(timecode, mode_, sourceIn.Value());
    std::replace(timecode.begin(), timecode.end(), ';', ':');
    text_ += timecode;
    text_ += "\r\n";
  }

  void Comment(std::string_view label, std::string_view value) {
    text_ += label;
    text_ += value;
    text_ += "\r\n";
  }

  const ExportTimeline& timeline_;
  TimecodeMode mode_;
  bool audioTrack_;
  int number_ = 0;
  std::string text_;
};

}  // namespace

ExportWritten WriteCmx3600(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  ExportWritten out;
  std::vector<const ExportTrack*> written;
  for (const ExportTrack& track : timeline.tracks) {
    const char* suffix = track.role == TrackRole::Insert        ? "-insert"
                         : track.role == TrackRole::ExtraAudio1 ? "-exaudio1"
                         : track.role == TrackRole::ExtraAudio2 ? "-exaudio2"
                                                                : "";
    CmxBuilder builder(timeline, !track.video);
    builder.Header(suffix);
    bool any = false;
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const ExportPiece& piece = track.pieces[p];
      if (!piece.item) continue;
      builder.Event(piece, piece.transition ? &track.pieces[p - 1] : nullptr);
      any = true;
    }
    if (!any) continue;
    out.files.push_back({suffix, builder.Take()});
    written.push_back(&track);
  }
  out.counts = CountWritten(written);
  return out;
}

}  // namespace pexol
