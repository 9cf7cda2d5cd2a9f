// export/MltWriter.cpp - Shotcut's dialect: black background, same-track transitions, top tractor
#include "export/MltWriter.h"

#include <algorithm>

#include "core/XmlWriter.h"
#include "export/MltGraph.h"

namespace pexol {
namespace {

// The services that differ between the editor's document and one rendered without a display.
struct ServiceNames {
  const char* still;       // an image file's producer
  const char* trackBlend;  // a video track over the ones below it
  bool blendFits;          // the blend fits pictures to the frame: stills need no fit filter
};

// Shotcut plays a clip's sound from its video track; titles have none.
bool PlaysSound(const ExportTrack& track) {
  return track.role != TrackRole::Titles;
}

ServiceNames NamesOf(MltServices services) {
  // The composite transition lays a track over the ones below in the frames' own YUV, with no
  // conversion to RGBA and back, and fits a still to the frame itself (its bars transparent);
  // on V1 MLT's own scaling keeps a still's shape. Together about a fifth less CPU than the
  // cairo blend and the affine fit.
  if (services == MltServices::DisplayFree) return {"pixbuf", "composite", true};
  return {"qimage", "qtblend", false};
}

class MltBuilder {
 public:
  MltBuilder(const ExportTimeline& timeline, ServiceNames services)
      : timeline_(timeline),
        services_(services),
        graph_(xml_, timeline, MltDialect::Shotcut, services.still) {}

  void Start(bool wideScreen) {
    xml_.Open("mlt");
    xml_.Attribute("LC_NUMERIC", "C");
    xml_.Attribute("version", "7.12.0");
    xml_.Attribute("title", timeline_.projectName);
    xml_.Attribute("producer", "main_bin");
    graph_.Profile(wideScreen);
    xml_.Open("playlist");
    xml_.Attribute("id", "main_bin");
    xml_.Property("xml_retain", 1);
    xml_.Close();
  }

  // Shotcut expects its black background as track 0, as long as the timeline.
  void Background(Frames length) {
    xml_.Open("producer");
    xml_.Attribute("id", "black");
    xml_.Property("length", std::max(length, Frames(1)).Value());
    xml_.Property("eof", "pause");
    xml_.Property("resource", "0");
    xml_.Property("mlt_service", "color");
    xml_.Property("set.test_audio", 0);
    xml_.Close();
    xml_.Open("playlist");
    xml_.Attribute("id", "background");
    if (length > 0) Entry("black", 0, length);
    xml_.Close();
  }

  void Track(const ExportTrack& track, int number) {
    std::vector<std::string> producers(track.pieces.size());
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const ExportPiece& piece = track.pieces[p];
      if (!piece.item) continue;
      // Clips on video tracks whose sound the project has turned off play silent.
      const bool muted = track.video && !CarriesAudio(*piece.item);
      producers[p] = Producer(piece, muted);
    }
    std::vector<std::string> transitions(track.pieces.size());
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      if (!track.pieces[p].transition) continue;
      transitions[p] =
          SameTrackTransition(track.pieces[p - 1], producers[p - 1], track.pieces[p], producers[p]);
    }

    xml_.Open("playlist");
    xml_.Attribute("id", "playlist" + std::to_string(number));
    xml_.Property(track.video ? "shotcut:video" : "shotcut:audio", 1);
    xml_.Property("shotcut:name", track.name);
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const ExportPiece& piece = track.pieces[p];
      if (!piece.item) {
        xml_.Open("blank");
        xml_.Attribute("length", piece.Length().Value());
        xml_.Close();
        continue;
      }
      // A transition plays the head of the incoming clip, so its entry starts after it.
      const Frames skip = piece.transitionLength;
      if (skip > 0) Entry(transitions[p], 0, skip);
      if (piece.Length() > skip) {
        Entry(producers[p], ProducerIn(piece) + skip, piece.Length() - skip);
      }
    }
    xml_.Close();
  }

  // Shotcut does not add the compositing back: without a mix per sounding track and a blend
  // per video track above V1, upper tracks would not show and audio tracks would not play.
  void TopTractor(const std::vector<const ExportTrack*>& tracks, Frames length) {
    xml_.Open("tractor");
    xml_.Attribute("id", "tractor0");
    xml_.Attribute("title", timeline_.projectName);
    if (length > 0) {
      xml_.Attribute("in", 0);
      xml_.Attribute("out", LastFrame(length));
    }
    xml_.Property("shotcut", 1);
    xml_.Open("track");
    xml_.Attribute("producer", "background");
    xml_.Close();
    for (std::size_t t = 0; t < tracks.size(); ++t) {
      xml_.Open("track");
      xml_.Attribute("producer", "playlist" + std::to_string(t));
      if (!tracks[t]->video) xml_.Attribute("hide", "video");
      xml_.Close();
    }
    for (std::size_t t = 0; t < tracks.size(); ++t) {
      const std::int64_t index = static_cast<std::int64_t>(t) + 1;
      if (PlaysSound(*tracks[t])) {
        xml_.Open("transition");
        xml_.Property("a_track", 0);
        xml_.Property("b_track", index);
        xml_.Property("mlt_service", "mix");
        xml_.Property("always_active", 1);
        xml_.Property("sum", 1);
        xml_.Close();
      }
      if (tracks[t]->video && t > 0) {
        xml_.Open("transition");
        xml_.Property("a_track", 1);
        xml_.Property("b_track", index);
        xml_.Property("mlt_service", services_.trackBlend);
        if (services_.blendFits) {
          // Pictures smaller than the frame, or of another shape, fit it, centred.
          xml_.Property("fill", 1);
          xml_.Property("halign", "centre");
          xml_.Property("valign", "centre");
        } else {
          xml_.Property("threads", 0);
        }
        xml_.Close();
      }
    }
    xml_.Close();
  }

  std::string Finish() { return xml_.Finish(); }

 private:
  void Entry(const std::string& producer, Frames in, Frames length) {
    graph_.Entry(producer, in, length);
  }

  // Writes the producer of one piece, with the frames past its end that feed a transition.
  std::string Producer(const ExportPiece& piece, bool muted) {
    const TimelineItem& item = *piece.item;
    std::string id = "producer" + std::to_string(producerCount_++);
    xml_.Open("producer");
    xml_.Attribute("id", id);
    const std::int64_t length = (piece.Length() + piece.runOn).Value();
    graph_.Source(item, piece.media ? piece.media->path : std::string(), length, muted,
                  piece.media);
    graph_.Caption(piece.name);
    graph_.PictureFilters(piece);
    if (item.kind == ItemKind::Still && !services_.blendFits) graph_.KeepAspect();
    // Over the frames the piece plays, as Shotcut puts its own filters: its keyframe panel
    // counts from the filter's first frame, as MLT then does.
    if (!muted && item.kind == ItemKind::Movie && !piece.pieceGain.empty()) {
      const Frames in = ProducerIn(piece);
      graph_.GainFilter(
          piece.pieceGain, 0,
          std::pair{std::int64_t{in.Value()}, LastFrame(in, piece.Length() + piece.runOn)});
    }
    xml_.Close();
    return id;
  }

  // Shotcut's same-track transition: the outgoing clip's frames after its cut and the
  // incoming clip's first frames, mixed by a luma over exactly its frames: a plain dissolve
  // without a wipe pattern, every other transition as a left-to-right bar wipe. Its sound is a
  // mix: a cross-fade where the layout says so, else the incoming clip's sound (or silence)
  // alone from the cut. Without a mix the tractor would play the outgoing clip's at full level;
  // hiding a track's sound would hide its producer's everywhere it plays.
  std::string SameTrackTransition(const ExportPiece& outgoing, const std::string& outgoingId,
                                  const ExportPiece& incoming, const std::string& incomingId) {
    const Frames length = incoming.transitionLength;
    std::string id = "transition" + std::to_string(transitionCount_++);
    xml_.Open("tractor");
    xml_.Attribute("id", id);
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("shotcut:transition", "lumaMix");
    xml_.Property("shotcut:caption", timeline_.Decoded(incoming.transition->name));
    const Frames outgoingIn = ProducerIn(outgoing) + outgoing.Length();
    const Frames incomingIn = ProducerIn(incoming);
    for (const auto& [producer, in] :
         {std::pair{&outgoingId, outgoingIn}, std::pair{&incomingId, incomingIn}}) {
      xml_.Open("track");
      xml_.Attribute("producer", *producer);
      xml_.Attribute("in", in.Value());
      xml_.Attribute("out", LastFrame(in, length));
      xml_.Close();
    }
    xml_.Open("transition");
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("a_track", 0);
    xml_.Property("b_track", 1);
    xml_.Property("mlt_service", "luma");
    if (incoming.transition->code != 'D') xml_.Property("resource", "%luma01.pgm");
    xml_.Close();
    xml_.Open("transition");
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("a_track", 0);
    xml_.Property("b_track", 1);
    // -1: from the outgoing clip's sound to the incoming clip's in a line in amplitude, the two
    // weights summing to 1; 1: the incoming clip's alone. A muted clip's silence counts too.
    xml_.Property("start", incoming.crossFadesSound ? -1 : 1);
    xml_.Property("accepts_blanks", 1);
    xml_.Property("mlt_service", "mix");
    xml_.Close();
    xml_.Close();
    return id;
  }

  const ExportTimeline& timeline_;
  ServiceNames services_;
  XmlWriter xml_;
  MltGraph graph_;
  int producerCount_ = 0;
  int transitionCount_ = 0;
};

}  // namespace

ExportWritten WriteMlt(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  ExportWritten out;
  out.files.push_back({"", WriteMltWith(timeline, MltServices::Editor, &out.counts)});
  return out;
}

std::string WriteMltWith(const ExportTimeline& timeline, MltServices services,
                         ExportCounts* counts) {
  // V1 always; every other track that holds clips.
  std::vector<const ExportTrack*> tracks;
  for (const ExportTrack& track : timeline.tracks)
    if (!track.Empty() || track.role == TrackRole::Main) tracks.push_back(&track);

  MltBuilder builder(timeline, NamesOf(services));
  builder.Start(timeline.wideScreen);
  builder.Background(timeline.end);
  for (std::size_t t = 0; t < tracks.size(); ++t) builder.Track(*tracks[t], static_cast<int>(t));
  builder.TopTractor(tracks, timeline.end);
  if (counts) *counts = CountWritten(tracks);
  return builder.Finish();
}

}  // namespace pexol
